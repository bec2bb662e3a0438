#pragma once
// Row lines: the fields of a pending sheet row, each followed by ";", collected before the row is
// written. The four lists belong to the job's window state and are passed in.

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "soap/xs_date.h"

namespace zelvor::report {

using StringList = std::vector<std::string>;

struct RowLines {
  StringList slHeader;     // header line of the pending summary row
  StringList slValue;      // value line of the pending summary row
  StringList slHeaderDet;  // header line of the detail sheet, from the run's first detail row
  StringList slValueDet;   // one value line per detail row of the run; the last is pending

  void Clear() {
    slHeader.clear();
    slValue.clear();
    slHeaderDet.clear();
    slValueDet.clear();
  }
};

// What a column's value may be: nothing, a text, an integer or a date-time (its date is shown).
using CellValue = std::variant<std::monostate, std::string, std::int32_t, std::chrono::sys_seconds>;

// The text with leading and trailing characters of code 32 or less removed.
std::string_view TrimBlanks(std::string_view text);
std::string ValueText(const CellValue& value);
// One field of a row line: without ";", trimmed, followed by ";".
std::string SanitizeField(std::string_view text);
// "" for no date, else "yyyy-mm-dd".
std::string FormatRegisterDate(const soap::TXSDate* date);

// Appends a column to the pending summary row; startsRow discards the previous pending row.
void AddHdrValue(RowLines& rows, std::string_view name, const CellValue& value, bool startsRow);
// Appends a column to the pending detail row; startsRow begins a new detail row. Column names
// are collected only while the run's first detail row is built.
void AddDetValue(RowLines& rows, std::string_view name, const CellValue& value, bool startsRow);

}  // namespace zelvor::report
