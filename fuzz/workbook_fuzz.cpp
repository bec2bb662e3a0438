// Opens arbitrary bytes as a workbook and reads and writes the cells of its first sheet. A
// refused file must end in EWorkbookError; anything else is a fault.
//
// Input that begins with "<" skips the zip container, whose checksums would stop most mutations
// from reaching the XML: it is the sheet part, then after a NUL byte the shared strings part,
// then after another the styles part.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "workbook/errors.h"
#include "workbook/existing_workbook.h"
#include "workbook/package_parts.h"
#include "workbook/sheet_document.h"
#include "workbook/xlsx_package.h"

namespace {

using namespace zelvor::workbook;

void ExerciseSheet(Sheet& sheet) {
  const auto rows = std::min<std::int64_t>(sheet.UsedRangeRowCount(), 200);
  for (int row = 1; row <= rows; ++row) {
    for (int column = 1; column <= 20; ++column) sheet.GetCell(row, column);
  }
  // Writing over whatever is there: formulas, shared formula groups, styled cells.
  for (int row = 1; row <= std::max<std::int64_t>(rows, 2); ++row) {
    sheet.SetCell(row, 2, "5260250995");
    sheet.SetCell(row, 3, row % 2 == 0 ? "BRAK" : "2024-03-15");
    sheet.SetCell(row, 4, "");
  }
  sheet.GetCell(2, 3);
}

void ExerciseParts(std::string_view input) {
  std::string parts[3];
  for (int i = 0; i < 3 && !input.empty(); ++i) {
    const auto end = std::min(input.find('\0'), input.size());
    parts[i] = std::string(input.substr(0, end));
    input.remove_prefix(std::min(end + 1, input.size()));
  }
  const auto strings =
      parts[1].empty() ? SharedStrings{} : ParseSharedStrings(parts[1], "sharedStrings.xml");
  const auto dates =
      parts[2].empty() ? std::vector<bool>{} : ParseDateStyles(parts[2], "styles.xml");
  SheetDocument sheet(parts[0], "sheet1.xml");
  const CellContext context{&strings, &dates, false};
  const auto rows = std::min<std::int64_t>(sheet.LastRowWithValue(), 200);
  for (int row = 1; row <= rows; ++row) {
    for (int column = 1; column <= 20; ++column) sheet.Value(row, column, context);
  }
  for (int row = 1; row <= std::max<std::int64_t>(rows, 2); ++row) {
    sheet.Set(row, 2, "5260250995", -1);
    sheet.Set(row, 3, row % 2 == 0 ? "BRAK" : "2024-03-15", 1);
    sheet.Set(row, 4, "", -1);
  }
  sheet.Serialize();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  try {
    if (input.starts_with("<")) {
      ExerciseParts(input);
      return 0;
    }
    auto package = std::make_unique<XlsxPackage>(std::string(input), "fuzz.xlsx");
    ExistingWorkbook book(std::move(package), "");
    ExerciseSheet(book.Worksheet(1));
  } catch (const EWorkbookError&) {
  }
  return 0;
}
