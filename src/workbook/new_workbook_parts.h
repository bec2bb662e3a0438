#pragma once
// The parts of a workbook we write from scratch: the package's fixed parts, and each sheet as a
// head, its rows and a tail, so that the rows can be compressed apart from the rest.

#include <string>
#include <vector>

#include "workbook/packed_row.h"

namespace zelvor::workbook {

// The cell style that shows a number as a yyyy-mm-dd date.
inline constexpr int kDateStyle = 1;

std::string ContentTypesXml(std::size_t sheetCount);
std::string PackageRelationshipsXml();
std::string WorkbookXml(const std::vector<std::string>& sheetNames, std::size_t activeSheet);
std::string WorkbookRelationshipsXml(std::size_t sheetCount);
std::string StylesXml();
// The part name of a sheet, counted from 1.
std::string SheetPartName(std::size_t sheet);

// What a sheet's head says besides its rows.
struct SheetLook {
  int firstRow = 0;  // the used range; 0 when no cell holds text
  int lastRow = 0;
  int firstColumn = 0;
  int lastColumn = 0;
  bool selected = false;  // the sheet shown when the file is opened
  int selectedRow = 1;
  int selectedColumn = 1;
  const std::vector<double>* widths = nullptr;  // in characters by column from 0; 0: default
};

// Everything up to the start tag of the sheet's data.
std::string SheetHeadXml(const SheetLook& look);
// A row's element, numbered from 1; nothing for a row without cells.
void AppendRowXml(std::string& out, int rowNumber, const PackedRow& row);
// Everything after the sheet's data.
std::string SheetTailXml();

}  // namespace zelvor::workbook
