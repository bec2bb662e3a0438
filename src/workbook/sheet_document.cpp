#include "workbook/sheet_document.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>

#include "workbook/cell_text.h"
#include "workbook/errors.h"
#include "workbook/formula_shift.h"
#include "workbook/polish_messages.h"

namespace zelvor::workbook {
namespace {

constexpr auto npos = std::string_view::npos;

// A sheet in another encoding than UTF-8 is converted through a whole tree; spreadsheet
// programs never write one, so only a small one is taken.
constexpr std::size_t kMaxConvertedSheetBytes = std::size_t{16} << 20;

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

// A tag of well-formed text: its bytes and qualified name.
struct Tag {
  std::size_t begin = 0;
  std::size_t end = 0;  // one past its '>'
  std::string_view name;
  bool closing = false;
  bool selfClosing = false;
};

// The next tag from `pos` on, past comments, CDATA sections and processing instructions. The
// text was checked to be well-formed before.
bool NextTag(std::string_view text, std::size_t& pos, Tag& tag) {
  for (;;) {
    const auto lt = text.find('<', pos);
    if (lt == npos) return false;
    const auto skip = [&](std::string_view open, std::string_view close) {
      if (text.compare(lt, open.size(), open) != 0) return false;
      const auto at = text.find(close, lt + open.size());
      pos = at == npos ? text.size() : at + close.size();
      return true;
    };
    if (skip("<!--", "-->") || skip("<![CDATA[", "]]>") || skip("<?", "?>") || skip("<!", ">")) {
      continue;
    }
    std::size_t q = lt + 1;
    for (char quote = 0; q < text.size(); ++q) {
      const char c = text[q];
      if (quote != 0) {
        if (c == quote) quote = 0;
      } else if (c == '"' || c == '\'') {
        quote = c;
      } else if (c == '>') {
        break;
      }
    }
    if (q >= text.size()) return false;
    tag.begin = lt;
    tag.end = q + 1;
    tag.closing = text[lt + 1] == '/';
    tag.selfClosing = !tag.closing && text[q - 1] == '/';
    const auto nameBegin = lt + (tag.closing ? 2 : 1);
    tag.name = text.substr(nameBegin, text.find_first_of(" \t\r\n/>", nameBegin) - nameBegin);
    pos = tag.end;
    return true;
  }
}

std::string_view LocalName(std::string_view qualified) {
  const auto colon = qualified.find(':');
  return colon == npos ? qualified : qualified.substr(colon + 1);
}

// The value of an attribute without prefix in a start tag.
std::optional<std::string_view> TagAttribute(std::string_view tag, std::string_view name) {
  constexpr std::string_view kBlank = " \t\r\n";
  std::size_t i = tag.find_first_of(" \t\r\n/>", 1);
  while (i < tag.size()) {
    i = tag.find_first_not_of(kBlank, i);
    if (i == npos || tag[i] == '/' || tag[i] == '>') break;
    const auto eq = tag.find('=', i);
    const auto open = tag.find_first_of("\"'", eq);
    if (eq == npos || open == npos) break;
    const auto close = tag.find(tag[open], open + 1);
    if (close == npos) break;
    std::string_view attr = tag.substr(i, eq - i);
    attr = attr.substr(0, attr.find_last_not_of(kBlank) + 1);
    if (attr == name) return tag.substr(open + 1, close - open - 1);
    i = close + 1;
  }
  return std::nullopt;
}

// The column a cell stands in: its reference when that is right, else the one after the last.
int CellColumn(const std::optional<CellRef>& ref, int row, int lastColumn) {
  const int column =
      ref && ref->row == row && ref->column > lastColumn ? ref->column : lastColumn + 1;
  if (column > kMaxColumn) throw EWorkbookError("a row of the first worksheet is too long");
  return column;
}

bool IsUtf8(const std::string& xml, std::string encoding) {
  std::transform(encoding.begin(), encoding.end(), encoding.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  const bool utf16Mark = xml.size() >= 2 && (static_cast<unsigned char>(xml[0]) == 0xFE ||
                                             static_cast<unsigned char>(xml[0]) == 0xFF);
  return !utf16Mark && (encoding.empty() || encoding == "UTF-8" || encoding == "UTF8");
}

}  // namespace

SheetDocument::SheetDocument(std::string xml, const std::string& part) : text_(std::move(xml)) {
  const std::string encoding = StreamXmlPart(text_, part, [](xmlTextReader*) { return false; });
  if (!IsUtf8(text_, encoding)) {
    // Rows are cut out of the text as UTF-8.
    if (text_.size() > kMaxConvertedSheetBytes) {
      throw EWorkbookError("the first worksheet is stored as " + encoding +
                           " and too large to convert; save it again with a spreadsheet program");
    }
    text_ = SerializeXml(ParseXmlPart(text_, part).get());
  }
  Index();
}

void SheetDocument::Index() {
  std::size_t pos = 0;
  Tag tag;
  int depth = 0;  // elements open before the tag
  bool inSheetData = false;
  bool inRow = false;
  bool sawSheetData = false;
  std::string rootTag;
  std::string rootName;
  std::string sheetDataName;
  int lastRow = 0;
  int lastColumn = 0;
  while (NextTag(text_, pos, tag)) {
    if (tag.closing) {
      --depth;
      if (inRow && depth == 2) {
        rows_.back().end = tag.end;
        inRow = false;
      }
      if (inSheetData && depth == 1) inSheetData = false;
      continue;
    }
    const std::string_view whole = std::string_view(text_).substr(tag.begin, tag.end - tag.begin);
    const std::string_view local = LocalName(tag.name);
    if (depth == 0) {
      if (local != "worksheet") throw EWorkbookError("the first sheet is not a worksheet");
      rootTag = whole;
      rootName = tag.name;
    } else if (depth == 1 && local == "dimension" && !sawSheetData && dimensionBegin_ == npos) {
      dimensionBegin_ = tag.begin;
      dimensionEnd_ = tag.end;
      dimensionName_ = tag.name;
      dimensionSelfClosing_ = tag.selfClosing;
      dimension_ = TagAttribute(whole, "ref").value_or("");
    } else if (depth == 1 && local == "sheetData" && !sawSheetData) {
      sawSheetData = true;
      inSheetData = true;
      sheetDataName = tag.name;
      std::string open(whole);
      if (tag.selfClosing) {
        // Rows written later need a place between a start and an end tag.
        open.pop_back();
        while (open.back() == '/' || open.back() == ' ') open.pop_back();
        open += '>';
        text_.replace(tag.begin, tag.end - tag.begin, open + "</" + sheetDataName + ">");
        pos = tag.begin + open.size();
        tag.selfClosing = false;
      }
      sheetDataInner_ = pos;
      wrapOpen_ = rootTag + open;
      const auto colon = sheetDataName.find(':');
      rowName_ = (colon == npos ? "" : sheetDataName.substr(0, colon + 1)) + "row";
    } else if (depth == 2 && inSheetData && local == "row") {
      const auto r = TagAttribute(whole, "r");
      const int given = r ? ToInt(*r, 0) : 0;
      const int number = given <= lastRow || given > kMaxRow ? lastRow + 1 : given;
      if (number > kMaxRow) {
        throw EWorkbookError("the first worksheet has more rows than a sheet can");
      }
      Row row;
      row.number = lastRow = number;
      row.explicitNumber = given == number;
      row.begin = tag.begin;
      row.end = tag.end;
      rows_.push_back(std::move(row));
      inRow = !tag.selfClosing;
      lastColumn = 0;
    } else if (depth == 3 && inRow && local == "c") {
      const auto r = TagAttribute(whole, "r");
      const auto ref = r ? ParseCellRef(*r) : std::nullopt;
      lastColumn = CellColumn(ref, lastRow, lastColumn);
      // A cell in an implied place makes its row's positions worth writing out.
      if (!ref || ref->row != lastRow || ref->column != lastColumn) {
        rows_.back().explicitNumber = false;
      }
    }
    if (!tag.selfClosing) ++depth;
  }
  if (!sawSheetData) throw EWorkbookError("the first worksheet has no cell data");
  wrapClose_ = "</" + sheetDataName + "></" + rootName + ">";
}

std::size_t SheetDocument::Find(int row) const {
  const auto it = std::lower_bound(rows_.begin(), rows_.end(), row,
                                   [](const Row& r, int number) { return r.number < number; });
  return it != rows_.end() && it->number == row ? static_cast<std::size_t>(it - rows_.begin())
                                                : rows_.size();
}

std::size_t SheetDocument::Insert(int number) {
  const auto at =
      static_cast<std::size_t>(std::lower_bound(rows_.begin(), rows_.end(), number,
                                                [](const Row& r, int n) { return r.number < n; }) -
                               rows_.begin());
  Row row;
  row.number = number;
  row.explicitNumber = true;
  row.rewritten = true;
  row.text = "<" + rowName_ + " r=\"" + std::to_string(number) + "\"/>";
  row.begin = row.end = at < rows_.size() ? rows_[at].begin
                        : at > 0          ? rows_[at - 1].end
                                          : sheetDataInner_;
  rows_.insert(rows_.begin() + static_cast<std::ptrdiff_t>(at), std::move(row));
  chunks_.Inserted(at);
  if (isOpen_ && open_.index >= at) ++open_.index;
  // A following row in an implied place would move down behind the new one.
  if (at + 1 < rows_.size() && !rows_[at + 1].explicitNumber) Load(at + 1);
  return at;
}

SheetDocument::OpenRow& SheetDocument::Load(std::size_t index) const {
  if (isOpen_ && open_.index == index) return open_;
  Flush();
  isOpen_ = false;
  const Row& row = rows_[index];
  std::string wrapped = wrapOpen_;
  if (row.rewritten) {
    wrapped += row.text;
  } else {
    wrapped.append(text_, row.begin, row.end - row.begin);
  }
  wrapped += wrapClose_;
  OpenRow open;
  open.index = index;
  open.doc = ParseXmlPart(wrapped, "row " + std::to_string(row.number) + " of the first sheet");
  open.node = FirstChild(FirstChild(xmlDocGetRootElement(open.doc.get()), "sheetData"), "row");
  if (open.node == nullptr) throw EWorkbookError("the first worksheet cannot be read");
  if (!row.explicitNumber) {
    // Positions are made explicit so that a cell written later keeps its neighbours in place.
    SetAttribute(open.node, "r", std::to_string(row.number));
    open.dirty = true;
  }
  int lastColumn = 0;
  for (xmlNode* c : Children(open.node, "c")) {
    const auto ref = ParseCellRef(Attribute(c, "r"));
    const int column = CellColumn(ref, row.number, lastColumn);
    if (!ref || ref->row != row.number || ref->column != column) {
      SetAttribute(c, "r", CellRefText(row.number, column));
    }
    lastColumn = column;
    open.cells[column] = c;
  }
  open_ = std::move(open);
  isOpen_ = true;
  return open_;
}

void SheetDocument::Flush() const {
  if (!isOpen_ || !open_.dirty) return;
  std::unique_ptr<xmlBuffer, void (*)(xmlBuffer*)> buffer(xmlBufferCreate(), xmlBufferFree);
  if (!buffer || xmlNodeDump(buffer.get(), open_.doc.get(), open_.node, 0, 0) < 0) {
    throw EWorkbookError(WorkbookFailure("out of memory while writing a row"));
  }
  Row& row = rows_[open_.index];
  row.text.assign(reinterpret_cast<const char*>(xmlBufferContent(buffer.get())),
                  static_cast<std::size_t>(xmlBufferLength(buffer.get())));
  row.rewritten = true;
  row.explicitNumber = true;
  open_.dirty = false;
  chunks_.Changed(open_.index);
}

std::string SheetDocument::Value(int row, int column, const CellContext& context) const {
  CheckCellPosition(row, column);
  const std::size_t index = Find(row);
  if (index == rows_.size()) return {};
  const OpenRow& open = Load(index);
  const auto found = open.cells.find(column);
  if (found == open.cells.end()) return {};
  xmlNode* cell = found->second;
  const std::string type = Attribute(cell, "t");
  if (xmlNode* is = FirstChild(cell, "is");
      is != nullptr && (type == "inlineStr" || type.empty())) {
    return StringItemText(is);
  }
  xmlNode* v = FirstChild(cell, "v");
  if (v == nullptr) return {};
  const std::string raw = Text(v);
  if (type == "s") {
    const int item = ToInt(raw, -1);
    const auto* strings = context.sharedStrings;
    if (strings == nullptr || item < 0 || static_cast<std::size_t>(item) >= strings->size()) {
      return {};
    }
    return std::string((*strings)[static_cast<std::size_t>(item)]);
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
  for (std::size_t i = rows_.size(); i-- > 0;) {
    for (const auto& [column, cell] : Load(i).cells) {
      if (HasValue(cell)) return rows_[i].number;
    }
  }
  return 0;
}

namespace {

xmlNode* MakeCell(xmlDoc* doc, xmlNode* row, std::map<int, xmlNode*>& cells, int number,
                  int column) {
  const std::string spans = Attribute(row, "spans");
  if (const auto colon = spans.find(':'); colon != std::string::npos) {
    const int first = ToInt(spans.substr(0, colon), column);
    const int last = ToInt(spans.substr(colon + 1), column);
    if (column < first || column > last) {
      SetAttribute(
          row, "spans",
          std::to_string(std::min(first, column)) + ":" + std::to_string(std::max(last, column)));
    }
  }
  xmlNode* cell = xmlNewDocNode(doc, row->ns, XmlChars("c"), nullptr);
  SetAttribute(cell, "r", CellRefText(number, column));
  const auto next = cells.upper_bound(column);
  if (next != cells.end()) {
    xmlAddPrevSibling(next->second, cell);
  } else {
    xmlAddChild(row, cell);
  }
  cells[column] = cell;
  return cell;
}

void RemoveChildren(xmlNode* node) {
  while (node->children != nullptr) {
    xmlNode* child = node->children;
    xmlUnlinkNode(child);
    xmlFreeNode(child);
  }
}

}  // namespace

void SheetDocument::UnshareGroup(const std::string& groupId, int masterRow, int masterColumn,
                                 const std::string& formula) {
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    const Row& row = rows_[i];
    const std::string_view bytes =
        row.rewritten ? std::string_view(row.text)
                      : std::string_view(text_).substr(row.begin, row.end - row.begin);
    if (bytes.find("shared") == npos && !(isOpen_ && open_.index == i)) continue;
    OpenRow& open = Load(i);
    const int number = rows_[i].number;
    for (auto& [column, cell] : open.cells) {
      xmlNode* f = FirstChild(cell, "f");
      if (f == nullptr || (number == masterRow && column == masterColumn)) continue;
      if (Attribute(f, "t") != "shared" || Attribute(f, "si") != groupId) continue;
      RemoveChildren(f);
      const std::string own = ShiftFormula(formula, number - masterRow, column - masterColumn);
      xmlAddChild(f, xmlNewDocText(open.doc.get(), XmlChars(own.c_str())));
      for (const char* attr : {"t", "si", "ref"}) RemoveAttribute(f, attr);
      open.dirty = true;
    }
  }
}

void SheetDocument::Set(int row, int column, std::string_view text, int dateStyle) {
  CheckCellPosition(row, column);
  std::size_t index = Find(row);
  if (index == rows_.size()) {
    if (text.empty()) return;
    index = Insert(row);
  }
  OpenRow* open = &Load(index);
  const auto found = open->cells.find(column);
  xmlNode* cell = found == open->cells.end() ? nullptr : found->second;
  if (cell != nullptr) {
    if (xmlNode* f = FirstChild(cell, "f")) {
      formulaOverwritten_ = true;
      if (Attribute(f, "t") == "shared" && HasAttribute(f, "ref")) {
        // A shared formula's group loses its master: every other member gets its own formula.
        UnshareGroup(Attribute(f, "si"), row, column, Text(f));
        open = &Load(index);
        cell = open->cells.at(column);
      }
    }
    RemoveChildren(cell);
    for (const char* attr : {"t", "cm", "vm"}) RemoveAttribute(cell, attr);
    open->dirty = true;
  }
  if (text.empty()) {
    if (cell != nullptr && !HasAttribute(cell, "s")) {
      open->cells.erase(column);
      xmlUnlinkNode(cell);
      xmlFreeNode(cell);
    }
    return;
  }
  if (cell == nullptr) cell = MakeCell(open->doc.get(), open->node, open->cells, row, column);
  open->dirty = true;
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
  if (dimensionBegin_ == npos) return;
  const std::string& ref = dimension_;
  const auto colon = ref.find(':');
  auto first = ParseCellRef(ref.substr(0, colon));
  auto last = colon == std::string::npos ? first : ParseCellRef(ref.substr(colon + 1));
  if (!first || !last) {
    first = last = CellRef{row, column};
  }
  const CellRef from{std::min(first->row, row), std::min(first->column, column)};
  const CellRef to{std::max(last->row, row), std::max(last->column, column)};
  std::string widened = CellRefText(from.row, from.column) + ":" + CellRefText(to.row, to.column);
  if (widened != dimension_) {
    dimension_ = std::move(widened);
    dimensionChanged_ = true;
  }
}

std::string SheetDocument::Head() const {
  const std::string_view text(text_);
  if (!dimensionChanged_) return std::string(text.substr(0, sheetDataInner_));
  std::string head(text.substr(0, dimensionBegin_));
  head +=
      "<" + dimensionName_ + " ref=\"" + dimension_ + "\"" + (dimensionSelfClosing_ ? "/>" : ">");
  head += text.substr(dimensionEnd_, sheetDataInner_ - dimensionEnd_);
  return head;
}

std::string_view SheetDocument::Tail() const {
  const std::size_t end = rows_.empty() ? sheetDataInner_ : rows_.back().end;
  return std::string_view(text_).substr(end);
}

void SheetDocument::AppendRow(std::size_t index, std::string& out) const {
  const Row& row = rows_[index];
  const std::size_t before = index == 0 ? sheetDataInner_ : rows_[index - 1].end;
  if (row.begin > before) out.append(text_, before, row.begin - before);
  if (row.rewritten) {
    out += row.text;
  } else {
    out.append(text_, row.begin, row.end - row.begin);
  }
}

DeflatedPart SheetDocument::Compressed() const {
  Flush();
  std::string head = Head();
  if (!headSegment_.bytes || head != compressedHead_) {
    headSegment_ = DeflateSegment(head, SegmentEnd::Continued);
    compressedHead_ = std::move(head);
  }
  if (!tailSegment_.bytes) tailSegment_ = DeflateSegment(Tail(), SegmentEnd::Last);
  chunks_.Update(rows_.size(),
                 [this](std::size_t index, std::string& out) { AppendRow(index, out); });
  DeflatedPart part;
  part.Append(headSegment_);
  chunks_.AppendTo(part);
  part.Append(tailSegment_);
  return part;
}

std::string SheetDocument::Serialize() const {
  Flush();
  std::string out = Head();
  for (std::size_t i = 0; i < rows_.size(); ++i) AppendRow(i, out);
  out += Tail();
  return out;
}

}  // namespace zelvor::workbook
