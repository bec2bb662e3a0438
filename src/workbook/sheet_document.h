#pragma once
// The first worksheet of an existing workbook as an XML tree with an index of its cells. Writing
// a cell changes that cell's element only; every other element stays as it was read.

#include <map>
#include <string>
#include <vector>

#include "workbook/xml_util.h"

namespace zelvor::workbook {

// What turns a stored value into its text.
struct CellContext {
  const std::vector<std::string>* sharedStrings = nullptr;
  const std::vector<bool>* dateStyles = nullptr;
  bool date1904 = false;
};

class SheetDocument {
 public:
  // Throws EWorkbookError with the problem (for the caller to name the file).
  SheetDocument(const std::string& xml, const std::string& part);

  std::string Value(int row, int column, const CellContext& context) const;
  // The last row holding a cell with a value; 0 for a sheet without values.
  std::int64_t LastRowWithValue() const;
  // Stores the text typed as a number, date or text. `dateStyle` is the cell style to give a
  // date, or -1 to store a date as text.
  void Set(int row, int column, std::string_view text, int dateStyle);
  // True once a written cell held a formula: the workbook's calculation chain is then stale.
  bool FormulaOverwritten() const { return formulaOverwritten_; }
  std::string Serialize() const { return SerializeXml(doc_.get()); }

 private:
  struct RowEntry {
    xmlNode* node = nullptr;
    std::map<int, xmlNode*> cells;
  };

  xmlNode* Cell(int row, int column) const;
  xmlNode* MakeCell(int row, int column);
  void ClearCell(xmlNode* cell, int row, int column);
  // A shared formula's group loses its master: every other member gets its own formula.
  void UnshareGroup(const std::string& groupId, int masterRow, int masterColumn,
                    const std::string& formula);
  void WidenDimension(int row, int column);

  XmlDocPtr doc_;
  xmlNode* sheetData_ = nullptr;
  std::map<int, RowEntry> rows_;
  bool formulaOverwritten_ = false;
};

}  // namespace zelvor::workbook
