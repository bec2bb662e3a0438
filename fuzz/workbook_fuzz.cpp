// Opens arbitrary bytes as a workbook and reads and writes the cells of its first sheet. A
// refused file must end in EWorkbookError; anything else is a fault.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "workbook/errors.h"
#include "workbook/existing_workbook.h"
#include "workbook/xlsx_package.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zelvor::workbook;
  try {
    auto package = std::make_unique<XlsxPackage>(
        std::string(reinterpret_cast<const char*>(data), size), "fuzz.xlsx");
    ExistingWorkbook book(std::move(package), "");
    Sheet& sheet = book.Worksheet(1);
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
  } catch (const EWorkbookError&) {
  }
  return 0;
}
