#pragma once
// How a cell text is typed when written and how a stored value reads back as text.

#include <optional>
#include <string>
#include <string_view>

namespace zelvor::workbook {

inline constexpr int kMaxRow = 1048576;
inline constexpr int kMaxColumn = 16384;
inline constexpr std::size_t kMaxCellChars = 32767;

enum class CellKind { Text, Number, Date };

struct TypedText {
  CellKind kind = CellKind::Text;
  // The integer for a number, the day serial for a date.
  double number = 0;
};

// A decimal integer without leading zeros of at most 15 digits is a number; a valid
// "yyyy-mm-dd" from 1900-03-01 on is a date; anything else stays text.
TypedText ClassifyText(std::string_view text);

// The shortest text that reads back to the same value; integers up to 15 digits without
// exponent or ".0".
std::string NumberText(double value);

// Day serial of the 1900 date system (1900-03-01 is 61) and back. The 1904 system adds 1462.
std::optional<double> IsoDateSerial(std::string_view text);
std::string SerialDateText(double serial);

// "A" is 1, "AB" is 28; 0 for anything that is not a column of the sheet.
int ColumnNumber(std::string_view letters);
std::string ColumnLetters(int column);

struct CellRef {
  int row = 0;
  int column = 0;
};
// "B12"; nullopt for anything else (also "$B$12").
std::optional<CellRef> ParseCellRef(std::string_view ref);
std::string CellRefText(int row, int column);

// Throws EWorkbookError unless the position lies on a sheet.
void CheckCellPosition(int row, int column);

// Length in characters of UTF-8 text.
std::size_t Utf8Length(std::string_view text);
// The text with every invalid UTF-8 sequence and every character XML cannot carry replaced by
// U+FFFD; returns the text unchanged when it is clean.
std::string CleanXmlText(std::string_view text);

}  // namespace zelvor::workbook
