#include "workbook/package_parts.h"

#include <charconv>

#include "workbook/errors.h"

namespace zelvor::workbook {
namespace {

XmlDocPtr ParsePart(XlsxPackage& package, const std::string& part, const std::string& xml) {
  try {
    return ParseXmlPart(xml, part);
  } catch (const EWorkbookError& e) {
    package.Fail(e.what());
  }
}

bool IsBuiltInDateFormat(int id) {
  return (id >= 14 && id <= 22) || (id >= 27 && id <= 36) || (id >= 45 && id <= 47) ||
         (id >= 50 && id <= 58);
}

}  // namespace

std::string RelationshipsPartOf(const std::string& part) {
  const auto slash = part.rfind('/');
  if (slash == std::string::npos) return "_rels/" + part + ".rels";
  return part.substr(0, slash) + "/_rels/" + part.substr(slash + 1) + ".rels";
}

std::string ResolveTarget(const std::string& source, const std::string& target) {
  std::string base;
  std::string rest = target;
  if (!rest.empty() && rest.front() == '/') {
    rest.erase(0, 1);
  } else {
    const auto slash = source.rfind('/');
    if (slash != std::string::npos) base = source.substr(0, slash + 1);
  }
  std::vector<std::string> segments;
  const std::string path = base + rest;
  std::size_t start = 0;
  while (start <= path.size()) {
    auto end = path.find('/', start);
    if (end == std::string::npos) end = path.size();
    const std::string seg = path.substr(start, end - start);
    if (seg == "..") {
      if (!segments.empty()) segments.pop_back();
    } else if (!seg.empty() && seg != ".") {
      segments.push_back(seg);
    }
    start = end + 1;
  }
  std::string out;
  for (const auto& seg : segments) out += (out.empty() ? "" : "/") + seg;
  return out;
}

bool IsRelationshipType(const std::string& type, std::string_view kind) {
  return type.size() > kind.size() && type.ends_with(kind) &&
         type[type.size() - kind.size() - 1] == '/';
}

std::vector<Relationship> ReadRelationships(XlsxPackage& package, const std::string& sourcePart) {
  std::vector<Relationship> out;
  const std::string relsPart = RelationshipsPartOf(sourcePart);
  const auto xml = package.Read(relsPart);
  if (!xml) return out;
  const XmlDocPtr doc = ParsePart(package, relsPart, *xml);
  for (xmlNode* rel : Children(xmlDocGetRootElement(doc.get()), "Relationship")) {
    Relationship r;
    r.id = Attribute(rel, "Id");
    r.type = Attribute(rel, "Type");
    r.external = Attribute(rel, "TargetMode") == "External";
    const std::string target = Attribute(rel, "Target");
    r.target = r.external ? target : ResolveTarget(sourcePart, target);
    out.push_back(std::move(r));
  }
  return out;
}

WorkbookLayout ReadLayout(XlsxPackage& package) {
  WorkbookLayout layout;
  for (const auto& rel : ReadRelationships(package, "")) {
    if (!rel.external && IsRelationshipType(rel.type, "officeDocument")) {
      layout.workbookPart = rel.target;
      break;
    }
  }
  if (layout.workbookPart.empty()) layout.workbookPart = "xl/workbook.xml";
  const auto workbookXml = package.Read(layout.workbookPart);
  if (!workbookXml) package.Fail("the archive holds no workbook (not an .xlsx file)");
  const XmlDocPtr doc = ParsePart(package, layout.workbookPart, *workbookXml);
  xmlNode* root = xmlDocGetRootElement(doc.get());
  if (!IsElement(root, "workbook")) package.Fail("the archive holds no workbook");
  if (xmlNode* pr = FirstChild(root, "workbookPr")) {
    const std::string v = Attribute(pr, "date1904");
    layout.date1904 = v == "1" || v == "true";
  }

  const auto rels = ReadRelationships(package, layout.workbookPart);
  for (const auto& rel : rels) {
    if (rel.external) continue;
    if (IsRelationshipType(rel.type, "sharedStrings")) layout.sharedStringsPart = rel.target;
    if (IsRelationshipType(rel.type, "styles")) layout.stylesPart = rel.target;
    if (IsRelationshipType(rel.type, "calcChain")) layout.calcChainPart = rel.target;
  }
  const auto sheets = Children(FirstChild(root, "sheets"), "sheet");
  for (xmlNode* sheet : sheets) {
    const std::string id = Attribute(sheet, "id", true);
    for (const auto& rel : rels) {
      if (rel.id == id && !rel.external && IsRelationshipType(rel.type, "worksheet")) {
        ++layout.sheetCount;
        if (layout.firstSheetPart.empty()) layout.firstSheetPart = rel.target;
      }
    }
  }
  if (layout.firstSheetPart.empty()) package.Fail("the workbook holds no worksheet");
  if (!package.Has(layout.firstSheetPart)) {
    package.Fail("the first worksheet's part " + layout.firstSheetPart + " is missing");
  }
  return layout;
}

SharedStrings ReadSharedStrings(XlsxPackage& package, const std::string& part) {
  if (part.empty()) return {};
  const auto xml = package.Read(part);
  if (!xml) return {};
  try {
    return ParseSharedStrings(*xml, part);
  } catch (const EWorkbookError& e) {
    package.Fail(e.what());
  }
}

SharedStrings ParseSharedStrings(const std::string& xml, const std::string& part) {
  // A large table held as a tree would take many times its text: one item at a time.
  SharedStrings out;
  StreamXmlPart(xml, part, [&](xmlTextReader* reader) {
    if (xmlTextReaderNodeType(reader) != XML_READER_TYPE_ELEMENT ||
        xmlTextReaderDepth(reader) != 1 || ReaderLocalName(reader) != "si") {
      return false;
    }
    const xmlNode* item = xmlTextReaderExpand(reader);
    if (item == nullptr) throw EWorkbookError("the part " + part + " is not well-formed XML");
    out.Add(StringItemText(item));
    return true;
  });
  return out;
}

bool IsDateFormatCode(std::string_view code) {
  // Only the first section decides; quoted text, [colours], escapes and fill characters are
  // not format letters.
  bool inQuote = false;
  for (std::size_t i = 0; i < code.size(); ++i) {
    const char c = code[i];
    if (inQuote) {
      inQuote = c != '"';
      continue;
    }
    switch (c) {
      case '"':
        inQuote = true;
        break;
      case '\\':
      case '_':
      case '*':
        ++i;
        break;
      case '[': {
        const auto close = code.find(']', i);
        if (close == std::string_view::npos) return false;
        const auto inside = code.substr(i + 1, close - i - 1);
        if (inside == "h" || inside == "hh" || inside == "m" || inside == "mm" || inside == "s" ||
            inside == "ss") {
          return true;
        }
        i = close;
        break;
      }
      case ';':
        return false;
      case 'd':
      case 'D':
      case 'm':
      case 'M':
      case 'y':
      case 'Y':
      case 'h':
      case 'H':
      case 's':
      case 'S':
        return true;
      default:
        break;
    }
  }
  return false;
}

std::vector<bool> ReadDateStyles(XlsxPackage& package, const std::string& part) {
  if (part.empty()) return {};
  const auto xml = package.Read(part);
  if (!xml) return {};
  try {
    return ParseDateStyles(*xml, part);
  } catch (const EWorkbookError& e) {
    package.Fail(e.what());
  }
}

std::vector<bool> ParseDateStyles(const std::string& xml, const std::string& part) {
  std::vector<bool> out;
  const XmlDocPtr doc = ParseXmlPart(xml, part);
  xmlNode* root = xmlDocGetRootElement(doc.get());
  std::vector<std::pair<int, bool>> custom;
  for (xmlNode* fmt : Children(FirstChild(root, "numFmts"), "numFmt")) {
    custom.emplace_back(ToInt(Attribute(fmt, "numFmtId"), -1),
                        IsDateFormatCode(Attribute(fmt, "formatCode")));
  }
  for (xmlNode* xf : Children(FirstChild(root, "cellXfs"), "xf")) {
    const int id = ToInt(Attribute(xf, "numFmtId"), 0);
    bool isDate = IsBuiltInDateFormat(id);
    for (const auto& [customId, customDate] : custom) {
      if (customId == id) isDate = customDate;
    }
    out.push_back(isDate);
  }
  return out;
}

}  // namespace zelvor::workbook
