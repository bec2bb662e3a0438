#pragma once
// Moving a formula to another cell as a spreadsheet program copies it: relative A1 references
// move with it, $-anchored parts stay.

#include <string>
#include <string_view>

namespace zelvor::workbook {

std::string ShiftFormula(std::string_view formula, int rowOffset, int columnOffset);

}  // namespace zelvor::workbook
