#pragma once
// The rows a job collects before they are written: each column of a row keeps its name and its
// typed value until its cell is written. The rows belong to the jobs' run state.

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "soap/xs_date.h"

namespace zelvor::report {

// What a column's value may be: nothing, a text, an integer or a date-time (its date is shown).
using CellValue = std::variant<std::monostate, std::string, std::int32_t, std::chrono::sys_seconds>;

// One column of a row: the name its header cell shows and the value of its cell.
struct Field {
  std::string name;
  CellValue value;
};

// The columns of one row, from column 1.
using RowFields = std::vector<Field>;

// The rows a job has collected and not yet written. A written detail row is not kept: only the
// names of the run's first one, which head the detail sheet.
struct PendingRows {
  RowFields summaryRow;                   // the record's summary row
  RowFields detailRow;                    // the pending detail row
  std::vector<std::string> detailHeader;  // the names of the run's first detail row
  int detailRowsBegun = 0;                // detail rows begun in the run

  void Clear() {
    summaryRow.clear();
    detailRow.clear();
    detailHeader.clear();
    detailRowsBegun = 0;
  }
};

// The text with leading and trailing characters of code 32 or less removed.
std::string_view TrimBlanks(std::string_view text);
std::string ValueText(const CellValue& value);
// The text a cell gets: without ";" and without leading and trailing blanks, as its field shows in
// a line.
std::string CellText(std::string_view text);
// One field of a shown line: the cell text followed by ";".
std::string SanitizeField(std::string_view text);
// "" for no date, else "yyyy-mm-dd".
std::string FormatRegisterDate(const soap::TXSDate* date);

// The row as one line of fields, each followed by ";": its values for the output list, its names
// for the header.
std::string ValueLine(const RowFields& row);
std::string HeaderLine(const RowFields& row);

// Appends a column to the pending summary row; startsRow discards the previous pending row.
void AddHdrValue(PendingRows& rows, std::string_view name, const CellValue& value, bool startsRow);
// Appends a column to the pending detail row; startsRow begins a new detail row. The names are
// taken for the header only while the run's first detail row is built.
void AddDetValue(PendingRows& rows, std::string_view name, const CellValue& value, bool startsRow);

}  // namespace zelvor::report
