#include "workbook/sheet_document.h"

#include <charconv>
#include <cmath>

#include "workbook/cell_text.h"
#include "workbook/errors.h"
#include "workbook/formula_shift.h"

namespace zelvor::workbook {
namespace {

bool HasValue(xmlNode* cell) {
  if (FirstChild(cell, "is") != nullptr) return true;
  xmlNode* v = FirstChild(cell, "v");
  return v != nullptr && !Text(v).empty();
}

std::string TimeText(double fraction) {
  auto seconds = static_cast<long>(std::lround(fraction * 86400.0));
  if (seconds >= 86400) seconds = 86399;
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02ld:%02ld:%02ld", seconds / 3600, seconds / 60 % 60,
                seconds % 60);
  return buf;
}

std::string DateValueText(double serial, bool date1904) {
  if (date1904) serial += 1462;
  if (serial < 0 || serial >= 2958466) return NumberText(serial);
  const double day = std::floor(serial);
  const double fraction = serial - day;
  if (day == 0) return TimeText(fraction);
  if (day < 61) return NumberText(serial);  // the 1900 system's first two months are off by one
  std::string text = SerialDateText(day);
  if (fraction > 0) text += " " + TimeText(fraction);
  return text;
}

}  // namespace

SheetDocument::SheetDocument(const std::string& xml, const std::string& part)
    : doc_(ParseXmlPart(xml, part)) {
  xmlNode* root = xmlDocGetRootElement(doc_.get());
  if (!IsElement(root, "worksheet")) throw EWorkbookError("the first sheet is not a worksheet");
  sheetData_ = FirstChild(root, "sheetData");
  if (sheetData_ == nullptr) throw EWorkbookError("the first worksheet has no cell data");
  int lastRow = 0;
  for (xmlNode* row : Children(sheetData_, "row")) {
    int r = ToInt(Attribute(row, "r"), 0);
    if (r <= lastRow || r > kMaxRow) r = lastRow + 1;
    if (r > kMaxRow) throw EWorkbookError("the first worksheet has more rows than a sheet can");
    // Positions are made explicit so that a cell written later keeps its neighbours in place.
    SetAttribute(row, "r", std::to_string(r));
    lastRow = r;
    RowEntry& entry = rows_[r];
    entry.node = row;
    int lastColumn = 0;
    for (xmlNode* c : Children(row, "c")) {
      const auto ref = ParseCellRef(Attribute(c, "r"));
      int column = ref && ref->row == r && ref->column > lastColumn ? ref->column : lastColumn + 1;
      if (column > kMaxColumn) throw EWorkbookError("a row of the first worksheet is too long");
      if (!ref || ref->row != r || ref->column != column) {
        SetAttribute(c, "r", CellRefText(r, column));
      }
      lastColumn = column;
      entry.cells[column] = c;
    }
  }
}

xmlNode* SheetDocument::Cell(int row, int column) const {
  const auto r = rows_.find(row);
  if (r == rows_.end()) return nullptr;
  const auto c = r->second.cells.find(column);
  return c == r->second.cells.end() ? nullptr : c->second;
}

std::string SheetDocument::Value(int row, int column, const CellContext& context) const {
  CheckCellPosition(row, column);
  xmlNode* cell = Cell(row, column);
  if (cell == nullptr) return {};
  const std::string type = Attribute(cell, "t");
  if (xmlNode* is = FirstChild(cell, "is");
      is != nullptr && (type == "inlineStr" || type.empty())) {
    return StringItemText(is);
  }
  xmlNode* v = FirstChild(cell, "v");
  if (v == nullptr) return {};
  const std::string raw = Text(v);
  if (type == "s") {
    const int index = ToInt(raw, -1);
    const auto* strings = context.sharedStrings;
    if (strings == nullptr || index < 0 || static_cast<std::size_t>(index) >= strings->size()) {
      return {};
    }
    return (*strings)[static_cast<std::size_t>(index)];
  }
  if (type == "b") return raw == "1" || raw == "true" ? "TRUE" : "FALSE";
  if (type == "str" || type == "e" || type == "inlineStr") return DecodeOoxmlText(raw);
  if (type == "d")
    return raw.size() > 10 && raw.substr(10) == "T00:00:00" ? raw.substr(0, 10) : raw;
  double number = 0;
  const auto* end = raw.data() + raw.size();
  auto [p, ec] = std::from_chars(raw.data(), end, number);
  if (ec != std::errc{} || p != end) return raw;
  const int style = ToInt(Attribute(cell, "s"), 0);
  const auto* dates = context.dateStyles;
  if (dates != nullptr && style >= 0 && static_cast<std::size_t>(style) < dates->size() &&
      (*dates)[static_cast<std::size_t>(style)]) {
    return DateValueText(number, context.date1904);
  }
  return NumberText(number);
}

std::int64_t SheetDocument::LastRowWithValue() const {
  for (auto r = rows_.rbegin(); r != rows_.rend(); ++r) {
    for (const auto& [column, cell] : r->second.cells) {
      if (HasValue(cell)) return r->first;
    }
  }
  return 0;
}

xmlNode* SheetDocument::MakeCell(int row, int column) {
  RowEntry& entry = rows_[row];
  if (entry.node == nullptr) {
    entry.node = xmlNewDocNode(doc_.get(), sheetData_->ns, XmlChars("row"), nullptr);
    SetAttribute(entry.node, "r", std::to_string(row));
    const auto next = rows_.upper_bound(row);
    if (next != rows_.end()) {
      xmlAddPrevSibling(next->second.node, entry.node);
    } else {
      xmlAddChild(sheetData_, entry.node);
    }
  }
  const std::string spans = Attribute(entry.node, "spans");
  if (const auto colon = spans.find(':'); colon != std::string::npos) {
    const int first = ToInt(spans.substr(0, colon), column);
    const int last = ToInt(spans.substr(colon + 1), column);
    if (column < first || column > last) {
      SetAttribute(
          entry.node, "spans",
          std::to_string(std::min(first, column)) + ":" + std::to_string(std::max(last, column)));
    }
  }
  xmlNode* cell = xmlNewDocNode(doc_.get(), sheetData_->ns, XmlChars("c"), nullptr);
  SetAttribute(cell, "r", CellRefText(row, column));
  const auto next = entry.cells.upper_bound(column);
  if (next != entry.cells.end()) {
    xmlAddPrevSibling(next->second, cell);
  } else {
    xmlAddChild(entry.node, cell);
  }
  entry.cells[column] = cell;
  return cell;
}

void SheetDocument::ClearCell(xmlNode* cell, int row, int column) {
  if (xmlNode* f = FirstChild(cell, "f")) {
    formulaOverwritten_ = true;
    if (Attribute(f, "t") == "shared" && HasAttribute(f, "ref")) {
      UnshareGroup(Attribute(f, "si"), row, column, Text(f));
    }
  }
  while (cell->children != nullptr) {
    xmlNode* child = cell->children;
    xmlUnlinkNode(child);
    xmlFreeNode(child);
  }
  for (const char* attr : {"t", "cm", "vm"}) RemoveAttribute(cell, attr);
}

void SheetDocument::UnshareGroup(const std::string& groupId, int masterRow, int masterColumn,
                                 const std::string& formula) {
  for (auto& [row, entry] : rows_) {
    for (auto& [column, cell] : entry.cells) {
      xmlNode* f = FirstChild(cell, "f");
      if (f == nullptr || (row == masterRow && column == masterColumn)) continue;
      if (Attribute(f, "t") != "shared" || Attribute(f, "si") != groupId) continue;
      while (f->children != nullptr) {
        xmlNode* child = f->children;
        xmlUnlinkNode(child);
        xmlFreeNode(child);
      }
      const std::string own = ShiftFormula(formula, row - masterRow, column - masterColumn);
      xmlAddChild(f, xmlNewDocText(doc_.get(), XmlChars(own.c_str())));
      for (const char* attr : {"t", "si", "ref"}) RemoveAttribute(f, attr);
    }
  }
}

void SheetDocument::Set(int row, int column, std::string_view text, int dateStyle) {
  CheckCellPosition(row, column);
  xmlNode* cell = Cell(row, column);
  if (cell != nullptr) ClearCell(cell, row, column);
  if (text.empty()) {
    if (cell != nullptr && !HasAttribute(cell, "s")) {
      rows_[row].cells.erase(column);
      xmlUnlinkNode(cell);
      xmlFreeNode(cell);
    }
    return;
  }
  if (cell == nullptr) cell = MakeCell(row, column);
  TypedText typed = ClassifyText(text);
  if (typed.kind == CellKind::Date && dateStyle < 0) typed.kind = CellKind::Text;
  if (typed.kind == CellKind::Text) {
    SetAttribute(cell, "t", "inlineStr");
    xmlNode* is = xmlNewChild(cell, cell->ns, XmlChars("is"), nullptr);
    const std::string stored = EscapeOoxmlText(text);
    xmlNode* t = xmlNewTextChild(is, cell->ns, XmlChars("t"), XmlChars(stored.c_str()));
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
    if (blank(text.front()) || blank(text.back())) xmlNodeSetSpacePreserve(t, 1);
  } else {
    if (typed.kind == CellKind::Date) SetAttribute(cell, "s", std::to_string(dateStyle));
    xmlNewTextChild(cell, cell->ns, XmlChars("v"), XmlChars(NumberText(typed.number).c_str()));
  }
  WidenDimension(row, column);
}

void SheetDocument::WidenDimension(int row, int column) {
  xmlNode* dimension = FirstChild(xmlDocGetRootElement(doc_.get()), "dimension");
  if (dimension == nullptr) return;
  const std::string ref = Attribute(dimension, "ref");
  const auto colon = ref.find(':');
  auto first = ParseCellRef(ref.substr(0, colon));
  auto last = colon == std::string::npos ? first : ParseCellRef(ref.substr(colon + 1));
  if (!first || !last) {
    first = last = CellRef{row, column};
  }
  const CellRef from{std::min(first->row, row), std::min(first->column, column)};
  const CellRef to{std::max(last->row, row), std::max(last->column, column)};
  SetAttribute(dimension, "ref",
               CellRefText(from.row, from.column) + ":" + CellRefText(to.row, to.column));
}

}  // namespace zelvor::workbook
