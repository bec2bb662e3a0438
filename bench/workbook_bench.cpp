// Saving workbooks: one save of a large run, the list job's pattern of a save every 30 rows, and
// what one more save costs after 30 rows were added to a small and to a large workbook.

#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "workbook/spreadsheet.h"

namespace {

constexpr int kSummaryRows = 100000;
constexpr int kSummaryColumns = 42;
constexpr int kDetailRows = 300000;
constexpr int kDetailColumns = 7;

// A summary row as the period job fills it: numbers, dates, texts and empty columns.
std::vector<std::string> SummaryRow(int n) {
  std::vector<std::string> row;
  row.push_back(std::to_string(n));
  row.push_back("2024-03-" + std::string(n % 28 < 9 ? "0" : "") + std::to_string(n % 28 + 1));
  row.push_back("Przedsiębiorstwo Transportowe Żółw " + std::to_string(n) + " Sp. z o.o.");
  row.push_back(std::to_string(5260000000LL + n));
  row.push_back("P/2019/" + std::to_string(10000000 + n));
  const char* block[] = {"spółka z ograniczoną odpowiedzialnością",
                         "Kowalski",
                         "Jan Maria",
                         "C/123/2010",
                         "2019-05-06",
                         "Z/2019/7",
                         "Rzeczy",
                         "Ważne",
                         "Starosta Powiatowy w Warszawie",
                         "2019-05-06",
                         "",
                         "12",
                         "",
                         "2029-05-05",
                         "",
                         "",
                         "PL",
                         "międzynarodowy transport drogowy rzeczy",
                         "2010-10-10",
                         "mazowieckie",
                         "warszawski",
                         "Warszawa",
                         "00-950",
                         "Warszawa",
                         "Aleje Jerozolimskie",
                         "123A",
                         "",
                         "RzeczyPowyzejTrzyIPolTony",
                         "L/77/2019",
                         "Ważne",
                         "2019-06-01",
                         "2029-05-31",
                         "",
                         "",
                         "",
                         "",
                         "4"};
  for (const char* v : block) row.emplace_back(v);
  return row;
}

std::vector<std::string> DetailRow(int n) {
  return {std::to_string(5260000000LL + n / 3),
          "W " + std::to_string(n),
          "PowyzejTrzyIPolTony",
          "Aktualny",
          n % 5 == 0 ? "2022-02-03" : "",
          "",
          "RzeczyPowyzejTrzyIPolTony"};
}

void Fill(zelvor::workbook::Workbook& book) {
  book.Worksheet(1).Rename("HDR");
  book.AddWorksheetAfterLast().Rename("DET");
  auto& hdr = book.Worksheet(1);
  auto& det = book.Worksheet(2);
  for (int n = 1; n <= kSummaryRows; ++n) {
    const auto row = SummaryRow(n);
    for (int c = 0; c < kSummaryColumns; ++c)
      hdr.SetCell(n + 1, c + 1, row[static_cast<std::size_t>(c)]);
  }
  for (int n = 1; n <= kDetailRows; ++n) {
    const auto row = DetailRow(n);
    for (int c = 0; c < kDetailColumns; ++c)
      det.SetCell(n + 1, c + 1, row[static_cast<std::size_t>(c)]);
  }
}

std::string ScratchPath(const char* name) {
  return (std::filesystem::temp_directory_path() /
          (std::string(name) + "-" + std::to_string(getpid()) + ".xlsx"))
      .string();
}

void ReportPeakMemory(benchmark::State& state) {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  state.counters["peak_MiB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// Every row compressed, as at a workbook's first save; a later save compresses only what changed.
void BM_SaveAsLargeRun(benchmark::State& state) {
  const std::string path = ScratchPath("zelvor-bench-saveas");
  for (auto _ : state) {
    state.PauseTiming();
    std::filesystem::remove(path);
    auto app = zelvor::workbook::MakeXlsxFactory()->Start(zelvor::workbook::kXlsxComponent);
    auto& book = app->AddWorkbook();
    Fill(book);
    state.ResumeTiming();
    book.SaveAs(path);
    state.PauseTiming();
    app.reset();
    state.ResumeTiming();
  }
  state.counters["file_MiB"] = static_cast<double>(std::filesystem::file_size(path)) / 1048576.0;
  std::filesystem::remove(path);
  ReportPeakMemory(state);
}

// The list job: one summary row per input row, cell by cell, a save after every 30th row.
void BM_ListJobSaveEvery30Rows(benchmark::State& state) {
  const int rows = static_cast<int>(state.range(0));
  const std::string path = ScratchPath("zelvor-bench-list");
  int saves = 0;
  for (auto _ : state) {
    auto app = zelvor::workbook::MakeXlsxFactory()->Start(zelvor::workbook::kXlsxComponent);
    auto& book = app->AddWorkbook();
    auto& hdr = book.Worksheet(1);
    hdr.Rename("HDR");
    book.AddWorksheetAfterLast().Rename("DET");
    saves = 0;
    for (int n = 1; n <= rows; ++n) {
      const auto row = SummaryRow(n);
      for (int c = 0; c < kSummaryColumns; ++c)
        hdr.SetCell(n + 1, c + 1, row[static_cast<std::size_t>(c)]);
      if ((n + 1) % 30 == 0) {
        book.SaveAs(path);
        ++saves;
      }
    }
    book.SaveAs(path);
    book.WaitForSaves();
    ++saves;
  }
  state.counters["saves"] = saves;
  std::filesystem::remove(path);
  ReportPeakMemory(state);
}

using Clock = std::chrono::steady_clock;

// Each iteration: `change` (not timed), then a save over the same file until it is on disk. Also
// reported: the time until the save returns, what the job itself waits for.
template <class Change>
void TimeSaves(benchmark::State& state, zelvor::workbook::Workbook& book, const std::string& path,
               Change change) {
  Clock::duration returned{};
  for (auto _ : state) {
    state.PauseTiming();
    change();
    state.ResumeTiming();
    const auto start = Clock::now();
    book.Save();
    returned += Clock::now() - start;
    book.WaitForSaves();
  }
  state.counters["returns_ms"] = 1000 * std::chrono::duration<double>(returned).count() /
                                 static_cast<double>(state.iterations());
  state.counters["file_MiB"] = static_cast<double>(std::filesystem::file_size(path)) / 1048576.0;
  std::filesystem::remove(path);
}

// A result workbook of `rows` summary rows, saved again after every 30 rows more.
void BM_SaveAfter30MoreSummaryRows(benchmark::State& state) {
  const int rows = static_cast<int>(state.range(0));
  const std::string path = ScratchPath("zelvor-bench-grow");
  auto app = zelvor::workbook::MakeXlsxFactory()->Start(zelvor::workbook::kXlsxComponent);
  auto& book = app->AddWorkbook();
  auto& hdr = book.Worksheet(1);
  int next = 1;
  const auto addRows = [&](int count) {
    for (int i = 0; i < count; ++i, ++next) {
      const auto row = SummaryRow(next);
      for (int c = 0; c < kSummaryColumns; ++c)
        hdr.SetCell(next + 1, c + 1, row[static_cast<std::size_t>(c)]);
    }
  };
  addRows(rows);
  book.SaveAs(path);
  TimeSaves(state, book, path, [&] { addRows(30); });
}

// An input workbook of `rows` numbers, annotated in columns B and C 30 rows at a time, each time
// saved over itself.
void BM_AnnotateInput30RowsAndSave(benchmark::State& state) {
  const int rows = static_cast<int>(state.range(0));
  const std::string path = ScratchPath("zelvor-bench-input");
  {
    auto app = zelvor::workbook::MakeXlsxFactory()->Start(zelvor::workbook::kXlsxComponent);
    auto& sheet = app->AddWorkbook().Worksheet(1);
    sheet.SetCell(1, 1, "NIP");
    for (int r = 2; r <= rows + 1; ++r) sheet.SetCell(r, 1, std::to_string(5260000000LL + r));
    app->Workbooks(1).SaveAs(path);
  }
  auto app = zelvor::workbook::MakeXlsxFactory()->Start(zelvor::workbook::kXlsxComponent);
  auto& book = app->OpenWorkbook(path);
  auto& sheet = book.Worksheet(1);
  book.Save();
  int next = 2;
  TimeSaves(state, book, path, [&] {
    for (int i = 0; i < 30; ++i, next = next % rows + 2) {
      sheet.SetCell(next, 2, std::to_string(5260000000LL + next));
      sheet.SetCell(next, 3, "Przedsiębiorstwo Transportowe Żółw " + std::to_string(next));
    }
  });
}

BENCHMARK(BM_SaveAsLargeRun)->Unit(benchmark::kSecond)->Iterations(3);
BENCHMARK(BM_ListJobSaveEvery30Rows)->Arg(10000)->Unit(benchmark::kSecond)->Iterations(1);
BENCHMARK(BM_SaveAfter30MoreSummaryRows)
    ->Arg(1000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(50);
BENCHMARK(BM_AnnotateInput30RowsAndSave)
    ->Arg(1000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(50);

}  // namespace

BENCHMARK_MAIN();
