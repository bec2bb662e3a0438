#include "sample-workbook/run_summary.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

#include "workbook/spreadsheet.h"

namespace zelvor::sample {
namespace {

// The outcomes the list job writes into column C; anything else is a firm's name.
constexpr std::string_view kRepeated = "POWIELONY NUMER NIP";
constexpr std::string_view kInvalid = "BŁĘDNY NUMER NIP - błąd sumy kontrolnej";
constexpr std::string_view kSearchFailed = "WYSZUKIWANIE W GITD ZAKOŃCZYŁO SIĘ BŁĘDEM: ";
constexpr std::string_view kNotFound = "BRAK";

void Count(RunSummary& s, std::string_view outcome) {
  if (outcome.empty()) {
    ++s.unprocessed;
  } else if (outcome == kRepeated) {
    ++s.repeated;
  } else if (outcome == kInvalid) {
    ++s.invalid;
  } else if (outcome.starts_with(kSearchFailed)) {
    ++s.failed;
  } else if (outcome == kNotFound) {
    ++s.notFound;
  } else {
    ++s.found;
  }
}

// Rows of the first sheet below its heading.
std::int64_t RowsBelowHeading(workbook::Sheet& sheet) {
  return std::max<std::int64_t>(0, sheet.UsedRangeRowCount() - 1);
}

}  // namespace

RunSummary SummarizeRun(const std::string& annotatedPath, const std::string& resultPath) {
  const auto app = workbook::MakeXlsxFactory()->Start(workbook::kXlsxComponent);
  RunSummary s;
  workbook::Sheet& input = app->OpenWorkbook(annotatedPath).Worksheet(1);
  s.rows = RowsBelowHeading(input);
  for (std::int64_t row = 2; row <= s.rows + 1; ++row) {
    Count(s, input.GetCell(static_cast<int>(row), "C"));
  }
  s.resultRows = RowsBelowHeading(app->OpenWorkbook(resultPath).Worksheet(1));
  app->Quit();
  return s;
}

std::string FormatSummary(const RunSummary& s) {
  const std::pair<const char*, std::int64_t> lines[] = {
      {"rows read", s.rows},
      {"found", s.found},
      {"not found", s.notFound},
      {"invalid", s.invalid},
      {"repeated", s.repeated},
      {"other errors", s.failed},
      {"not processed", s.unprocessed},
      {"result rows", s.resultRows},
  };
  std::string text;
  for (const auto& [name, value] : lines) {
    char line[64];
    std::snprintf(line, sizeof line, "%-14s %lld\n", (std::string(name) + ":").c_str(),
                  static_cast<long long>(value));
    text += line;
  }
  return text;
}

std::string CellLines(const std::string& path) {
  // Wider than any sheet the jobs write: the result's details block ends well before it.
  constexpr int kColumns = 104;
  const auto app = workbook::MakeXlsxFactory()->Start(workbook::kXlsxComponent);
  workbook::Sheet& sheet = app->OpenWorkbook(path).Worksheet(1);
  std::string lines;
  const auto rows = static_cast<int>(sheet.UsedRangeRowCount());
  for (int row = 1; row <= rows; ++row) {
    for (int column = 1; column <= kColumns; ++column) {
      const std::string text = sheet.GetCell(row, column);
      if (text.empty()) continue;
      std::string name;
      for (int n = column; n > 0; n = (n - 1) / 26)
        name.insert(name.begin(), char('A' + (n - 1) % 26));
      lines += name + std::to_string(row) + "\t" + text + "\n";
    }
  }
  app->Quit();
  return lines;
}

}  // namespace zelvor::sample
