#include "workbook/new_workbook_parts.h"

#include <charconv>
#include <cmath>

#include "workbook/cell_text.h"
#include "workbook/xml_util.h"

namespace zelvor::workbook {
namespace {

constexpr const char* kDeclaration =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
constexpr const char* kMainNs = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
constexpr const char* kRelNs =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
constexpr const char* kPackageRelNs =
    "http://schemas.openxmlformats.org/package/2006/relationships";
constexpr const char* kContentType = "application/vnd.openxmlformats-officedocument.spreadsheetml.";

void AppendEscaped(std::string& out, std::string_view text, bool attribute) {
  for (const char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += attribute ? "&quot;" : "\"";
        break;
      case '\r':
        // A bare CR would read back as a line feed.
        out += "&#13;";
        break;
      default:
        out.push_back(c);
    }
  }
}

std::string RangeText(const SheetLook& look) {
  if (look.firstRow == 0) return "A1";
  const std::string first = CellRefText(look.firstRow, look.firstColumn);
  const std::string last = CellRefText(look.lastRow, look.lastColumn);
  return first == last ? first : first + ":" + last;
}

// The stored width of a column `characters` digits of the default font wide: whole pixels of
// 7-pixel digits plus 5 pixels of padding, in 1/256ths of a digit, as spreadsheet programs store
// it.
std::string StoredWidth(double characters) {
  const double pixels = std::trunc(characters * 7 + 0.5) + 5;
  const double width = std::trunc(pixels / 7 * 256) / 256;
  char buf[32];
  const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, width);
  return std::string(buf, end);
}

bool Blank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

void AppendCellXml(std::string& out, int rowNumber, int column, std::string_view text) {
  out += "<c r=\"";
  out += CellRefText(rowNumber, column);
  const TypedText typed = ClassifyText(text);
  switch (typed.kind) {
    case CellKind::Number:
      out += "\"><v>";
      out += NumberText(typed.number);
      out += "</v></c>";
      return;
    case CellKind::Date:
      out += "\" s=\"" + std::to_string(kDateStyle) + "\"><v>";
      out += NumberText(typed.number);
      out += "</v></c>";
      return;
    case CellKind::Text:
      out += "\" t=\"inlineStr\"><is><t";
      if (Blank(text.front()) || Blank(text.back())) out += " xml:space=\"preserve\"";
      out += '>';
      AppendEscaped(out, text.find("_x") == std::string_view::npos ? text : EscapeOoxmlText(text),
                    false);
      out += "</t></is></c>";
      return;
  }
}

}  // namespace

std::string ContentTypesXml(std::size_t sheetCount) {
  std::string out = kDeclaration;
  out +=
      "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
      "<Default Extension=\"rels\" "
      "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
      "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
      "<Override PartName=\"/xl/workbook.xml\" ContentType=\"";
  out += kContentType;
  out += "sheet.main+xml\"/><Override PartName=\"/xl/styles.xml\" ContentType=\"";
  out += std::string(kContentType) + "styles+xml\"/>";
  for (std::size_t s = 1; s <= sheetCount; ++s) {
    out += "<Override PartName=\"/" + SheetPartName(s) + "\" ContentType=\"" + kContentType +
           "worksheet+xml\"/>";
  }
  out += "</Types>";
  return out;
}

std::string PackageRelationshipsXml() {
  return std::string(kDeclaration) + "<Relationships xmlns=\"" + kPackageRelNs +
         "\"><Relationship Id=\"rId1\" Type=\"" + kRelNs +
         "/officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>";
}

std::string WorkbookXml(const std::vector<std::string>& sheetNames, std::size_t activeSheet) {
  std::string out = kDeclaration;
  out += "<workbook xmlns=\"" + std::string(kMainNs) + "\" xmlns:r=\"" + kRelNs +
         "\"><bookViews><workbookView";
  if (activeSheet > 0) out += " activeTab=\"" + std::to_string(activeSheet) + "\"";
  out += "/></bookViews><sheets>";
  for (std::size_t s = 0; s < sheetNames.size(); ++s) {
    out += "<sheet name=\"";
    AppendEscaped(out, sheetNames[s], true);
    const std::string n = std::to_string(s + 1);
    out += "\" sheetId=\"" + n + "\" r:id=\"rId" + n + "\"/>";
  }
  out += "</sheets></workbook>";
  return out;
}

std::string WorkbookRelationshipsXml(std::size_t sheetCount) {
  std::string out = kDeclaration;
  out += "<Relationships xmlns=\"" + std::string(kPackageRelNs) + "\">";
  for (std::size_t s = 1; s <= sheetCount; ++s) {
    out += "<Relationship Id=\"rId" + std::to_string(s) + "\" Type=\"" + kRelNs +
           "/worksheet\" Target=\"worksheets/sheet" + std::to_string(s) + ".xml\"/>";
  }
  out += "<Relationship Id=\"rId" + std::to_string(sheetCount + 1) + "\" Type=\"" + kRelNs +
         "/styles\" Target=\"styles.xml\"/></Relationships>";
  return out;
}

std::string StylesXml() {
  // Style 0 is the default; style 1 (kDateStyle) shows a number as yyyy-mm-dd.
  return std::string(kDeclaration) + "<styleSheet xmlns=\"" + kMainNs +
         "\"><numFmts count=\"1\"><numFmt numFmtId=\"164\" formatCode=\"yyyy-mm-dd\"/></numFmts>"
         "<fonts count=\"1\"><font><sz val=\"11\"/><name val=\"Calibri\"/><family val=\"2\"/>"
         "</font></fonts><fills count=\"2\"><fill><patternFill patternType=\"none\"/></fill>"
         "<fill><patternFill patternType=\"gray125\"/></fill></fills><borders count=\"1\"><border>"
         "<left/><right/><top/><bottom/><diagonal/></border></borders><cellStyleXfs count=\"1\">"
         "<xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\"/></cellStyleXfs>"
         "<cellXfs count=\"2\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\" "
         "xfId=\"0\"/><xf numFmtId=\"164\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\" "
         "applyNumberFormat=\"1\"/></cellXfs><cellStyles count=\"1\"><cellStyle name=\"Normal\" "
         "xfId=\"0\" builtinId=\"0\"/></cellStyles></styleSheet>";
}

std::string SheetPartName(std::size_t sheet) {
  return "xl/worksheets/sheet" + std::to_string(sheet) + ".xml";
}

std::string SheetHeadXml(const SheetLook& look) {
  std::string out = kDeclaration;
  out += "<worksheet xmlns=\"" + std::string(kMainNs) + "\" xmlns:r=\"" + kRelNs +
         "\"><dimension ref=\"" + RangeText(look) + "\"/><sheetViews><sheetView";
  if (look.selected) out += " tabSelected=\"1\"";
  out += " workbookViewId=\"0\"";
  if (look.selectedRow == 1 && look.selectedColumn == 1) {
    out += "/>";
  } else {
    const std::string cell = CellRefText(look.selectedRow, look.selectedColumn);
    out += "><selection activeCell=\"" + cell + "\" sqref=\"" + cell + "\"/></sheetView>";
  }
  out += "</sheetViews><sheetFormatPr defaultRowHeight=\"15\"/>";
  std::string cols;
  if (look.widths != nullptr) {
    for (std::size_t c = 0; c < look.widths->size(); ++c) {
      const double width = (*look.widths)[c];
      if (width <= 0) continue;
      const std::string n = std::to_string(c + 1);
      cols += "<col min=\"" + n + "\" max=\"" + n + "\" width=\"" + StoredWidth(width) +
              "\" customWidth=\"1\"/>";
    }
  }
  if (!cols.empty()) out += "<cols>" + cols + "</cols>";
  out += "<sheetData>";
  return out;
}

void AppendRowXml(std::string& out, int rowNumber, const PackedRow& row) {
  if (row.Empty()) return;
  out += "<row r=\"" + std::to_string(rowNumber) + "\">";
  row.ForEach(
      [&](int column, std::string_view text) { AppendCellXml(out, rowNumber, column, text); });
  out += "</row>";
}

std::string SheetTailXml() {
  return "</sheetData><pageMargins left=\"0.7\" right=\"0.7\" top=\"0.75\" bottom=\"0.75\" "
         "header=\"0.3\" footer=\"0.3\"/></worksheet>";
}

}  // namespace zelvor::workbook
