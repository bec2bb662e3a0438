// Saving result workbooks: one save of a large run against libxlsxwriter writing the same cells
// by itself, and the list job's pattern of a save every 30 rows.

#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>
#include <xlsxwriter.h>

#include <filesystem>
#include <string>
#include <vector>

#include "workbook/cell_text.h"
#include "workbook/spreadsheet.h"

namespace {

using zelvor::workbook::CellKind;
using zelvor::workbook::ClassifyText;

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

void BM_SaveAsLargeRun(benchmark::State& state) {
  auto app = zelvor::workbook::MakeXlsxFactory()->Start("Excel.Application");
  auto& book = app->AddWorkbook();
  Fill(book);
  const std::string path = ScratchPath("zelvor-bench-saveas");
  for (auto _ : state) {
    book.SaveAs(path);
    book.WaitForSaves();  // a save over the same file finishes in the background
  }
  state.counters["file_MiB"] = static_cast<double>(std::filesystem::file_size(path)) / 1048576.0;
  std::filesystem::remove(path);
  ReportPeakMemory(state);
}

// The same cells, already typed, written by libxlsxwriter in the same constant-memory mode.
void BM_LibxlsxwriterAloneLargeRun(benchmark::State& state) {
  struct Typed {
    CellKind kind;
    double number;
    std::string text;
  };
  const auto typedRows = [](auto make, int rows) {
    std::vector<std::vector<Typed>> out;
    out.reserve(static_cast<std::size_t>(rows));
    for (int n = 1; n <= rows; ++n) {
      std::vector<Typed> row;
      for (auto& text : make(n)) {
        const auto t = ClassifyText(text);
        row.push_back({t.kind, t.number, std::move(text)});
      }
      out.push_back(std::move(row));
    }
    return out;
  };
  const auto hdr = typedRows(SummaryRow, kSummaryRows);
  const auto det = typedRows(DetailRow, kDetailRows);
  const std::string path = ScratchPath("zelvor-bench-lxw");
  for (auto _ : state) {
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    lxw_workbook* wb = workbook_new_opt(path.c_str(), &options);
    lxw_format* date = workbook_add_format(wb);
    format_set_num_format(date, "yyyy-mm-dd");
    for (const auto* rows : {&hdr, &det}) {
      lxw_worksheet* ws = workbook_add_worksheet(wb, rows == &hdr ? "HDR" : "DET");
      for (std::size_t r = 0; r < rows->size(); ++r) {
        const auto& row = (*rows)[r];
        for (std::size_t c = 0; c < row.size(); ++c) {
          const auto& cell = row[c];
          const auto lr = static_cast<lxw_row_t>(r + 1);
          const auto lc = static_cast<lxw_col_t>(c);
          if (cell.text.empty()) continue;
          if (cell.kind == CellKind::Text) {
            worksheet_write_string(ws, lr, lc, cell.text.c_str(), nullptr);
          } else {
            worksheet_write_number(ws, lr, lc, cell.number,
                                   cell.kind == CellKind::Date ? date : nullptr);
          }
        }
      }
    }
    if (workbook_close(wb) != LXW_NO_ERROR) state.SkipWithError("libxlsxwriter failed");
  }
  std::filesystem::remove(path);
  ReportPeakMemory(state);
}

// The list job: one summary row per input row, cell by cell, a save after every 30th row.
void BM_ListJobSaveEvery30Rows(benchmark::State& state) {
  const int rows = static_cast<int>(state.range(0));
  const std::string path = ScratchPath("zelvor-bench-list");
  int saves = 0;
  for (auto _ : state) {
    auto app = zelvor::workbook::MakeXlsxFactory()->Start("Excel.Application");
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

BENCHMARK(BM_LibxlsxwriterAloneLargeRun)->Unit(benchmark::kSecond)->Iterations(3);
BENCHMARK(BM_SaveAsLargeRun)->Unit(benchmark::kSecond)->Iterations(3);
BENCHMARK(BM_ListJobSaveEvery30Rows)->Arg(10000)->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
