#pragma once
// The first worksheet of an existing workbook, kept as its text with an index of its rows. A row
// is parsed into a small tree only when it is read or written, and a written row is stored as
// its new text: a sheet of a million rows costs little more than its text, where a tree of the
// whole sheet would take many times that. Every row not written stays byte for byte as read.

#include <map>
#include <string>
#include <vector>

#include "workbook/deflate_segment.h"
#include "workbook/row_chunks.h"
#include "workbook/shared_strings.h"
#include "workbook/xml_util.h"

namespace zelvor::workbook {

// What turns a stored value into its text.
struct CellContext {
  const SharedStrings* sharedStrings = nullptr;
  const std::vector<bool>* dateStyles = nullptr;
  bool date1904 = false;
};

class SheetDocument {
 public:
  // Throws EWorkbookError with the problem (for the caller to name the file).
  SheetDocument(std::string xml, const std::string& part);

  std::string Value(int row, int column, const CellContext& context) const;
  // The last row holding a cell with a value; 0 for a sheet without values.
  std::int64_t LastRowWithValue() const;
  // Stores the text typed as a number, date or text. `dateStyle` is the cell style to give a
  // date, or -1 to store a date as text.
  void Set(int row, int column, std::string_view text, int dateStyle);
  // True once a written cell held a formula: the workbook's calculation chain is then stale.
  bool FormulaOverwritten() const { return formulaOverwritten_; }
  // The sheet's part as it stands, compressed: only the rows changed since the last call are
  // compressed again.
  DeflatedPart Compressed() const;
  std::string Serialize() const;

 private:
  struct Row {
    int number = 0;
    bool explicitNumber = false;  // its r attribute gives `number`
    bool rewritten = false;       // `text` replaces the bytes read
    std::size_t begin = 0;        // its bytes in text_; a new row has begin == end
    std::size_t end = 0;
    std::string text;
  };
  // The one row held as a tree.
  struct OpenRow {
    std::size_t index = 0;
    XmlDocPtr doc;
    xmlNode* node = nullptr;
    std::map<int, xmlNode*> cells;
    bool dirty = false;
  };

  void Index();
  std::size_t Find(int row) const;  // rows_.size() when absent
  std::size_t Insert(int row);
  OpenRow& Load(std::size_t index) const;
  void Flush() const;
  void UnshareGroup(const std::string& groupId, int masterRow, int masterColumn,
                    const std::string& formula);
  void WidenDimension(int row, int column);
  // Everything before the first row, with the dimension as it stands; everything after the last.
  std::string Head() const;
  std::string_view Tail() const;
  // The row's text with what stands between it and the row before.
  void AppendRow(std::size_t index, std::string& out) const;

  std::string text_;
  std::string wrapOpen_;   // the root's and sheetData's start tags, to parse a row in scope
  std::string wrapClose_;  // their end tags
  std::string rowName_;    // qualified name of a row element
  std::size_t sheetDataInner_ = 0;
  std::size_t dimensionBegin_ = std::string::npos;  // the dimension's start tag in text_
  std::size_t dimensionEnd_ = 0;
  std::string dimensionName_;
  bool dimensionSelfClosing_ = true;
  std::string dimension_;  // its ref
  bool dimensionChanged_ = false;
  mutable std::vector<Row> rows_;
  mutable OpenRow open_;
  mutable bool isOpen_ = false;
  bool formulaOverwritten_ = false;
  mutable RowChunks chunks_;
  mutable std::string compressedHead_;  // the head the cached segment holds
  mutable DeflatedSegment headSegment_;
  mutable DeflatedSegment tailSegment_;
};

}  // namespace zelvor::workbook
