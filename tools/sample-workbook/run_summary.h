#pragma once
// What a list run did, read back from the input workbook it annotated and the result workbook
// it wrote.

#include <cstdint>
#include <string>

namespace zelvor::sample {

struct RunSummary {
  std::int64_t rows = 0;         // input rows below the heading
  std::int64_t found = 0;        // column C holds the firm's name
  std::int64_t notFound = 0;     // "BRAK"
  std::int64_t invalid = 0;      // wrong check digit (a repeat of one counts here too)
  std::int64_t repeated = 0;     // a number met earlier in the run
  std::int64_t failed = 0;       // the search failed
  std::int64_t unprocessed = 0;  // column C empty: the run stopped before the row
  std::int64_t resultRows = 0;   // summary rows of the result workbook below its heading

  bool operator==(const RunSummary&) const = default;
};

// Counts the outcomes in column C of the annotated workbook's first sheet and the rows of the
// result workbook's first sheet. Throws workbook::EWorkbookError for a workbook it cannot read.
RunSummary SummarizeRun(const std::string& annotatedPath, const std::string& resultPath);

// One "name: count" line per figure.
std::string FormatSummary(const RunSummary& summary);

// Every non-empty cell of the first sheet, row by row: "B2\tFIRMA\n". Throws
// workbook::EWorkbookError for a workbook it cannot read.
std::string CellLines(const std::string& path);

}  // namespace zelvor::sample
