#include "support/workbook_files.h"

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <zip.h>

#include <functional>
#include <map>
#include <memory>
#include <stdexcept>

#include "workbook/spreadsheet.h"

namespace zelvor::test {
namespace {

// Result workbooks are read here with libzip and libxml2 directly, not with the component that
// wrote them, so a fault shared by its writer and reader cannot hide.
class Package {
 public:
  explicit Package(const std::string& path) {
    int error = 0;
    zip_.reset(zip_open(path.c_str(), ZIP_RDONLY, &error));
    if (!zip_) throw std::runtime_error("cannot open " + path);
  }

  std::string Read(const std::string& name) const {
    zip_stat_t stat;
    if (zip_stat(zip_.get(), name.c_str(), 0, &stat) != 0) return {};
    std::unique_ptr<zip_file_t, decltype(&zip_fclose)> file(zip_fopen(zip_.get(), name.c_str(), 0),
                                                            zip_fclose);
    std::string bytes(stat.size, '\0');
    if (!file || zip_fread(file.get(), bytes.data(), stat.size) != zip_int64_t(stat.size)) {
      throw std::runtime_error("cannot read " + name);
    }
    return bytes;
  }

 private:
  struct Closer {
    void operator()(zip_t* z) const { zip_discard(z); }
  };
  std::unique_ptr<zip_t, Closer> zip_;
};

using XmlDoc = std::unique_ptr<xmlDoc, decltype(&xmlFreeDoc)>;

XmlDoc Parse(const std::string& xml) {
  XmlDoc doc(xmlReadMemory(xml.data(), int(xml.size()), nullptr, nullptr, XML_PARSE_NONET),
             xmlFreeDoc);
  if (!doc) throw std::runtime_error("not XML");
  return doc;
}

std::string Text(xmlNode* node) {
  std::unique_ptr<xmlChar, decltype(xmlFree)> text(xmlNodeGetContent(node), xmlFree);
  return text ? reinterpret_cast<const char*>(text.get()) : "";
}

std::string Attr(xmlNode* node, const char* name) {
  std::unique_ptr<xmlChar, decltype(xmlFree)> value(
      xmlGetProp(node, reinterpret_cast<const xmlChar*>(name)), xmlFree);
  return value ? reinterpret_cast<const char*>(value.get()) : "";
}

void Walk(xmlNode* node, const char* name, const std::function<void(xmlNode*)>& visit) {
  for (xmlNode* n = node; n != nullptr; n = n->next) {
    if (n->type != XML_ELEMENT_NODE) continue;
    if (xmlStrEqual(n->name, reinterpret_cast<const xmlChar*>(name))) visit(n);
    Walk(n->children, name, visit);
  }
}

// "BC12" -> column 55 (from 1).
int ColumnOf(const std::string& reference) {
  int column = 0;
  for (char c : reference) {
    if (c < 'A' || c > 'Z') break;
    column = column * 26 + (c - 'A' + 1);
  }
  return column;
}

}  // namespace

void WriteWorkbook(const std::string& path, const SheetRows& rows) {
  auto app = workbook::MakeXlsxFactory()->Start(workbook::kXlsxComponent);
  workbook::Workbook& book = app->AddWorkbook();
  workbook::Sheet& sheet = book.Worksheet(1);
  for (std::size_t r = 0; r < rows.size(); ++r) {
    for (std::size_t c = 0; c < rows[r].size(); ++c) {
      if (!rows[r][c].empty()) sheet.SetCell(int(r) + 1, int(c) + 1, rows[r][c]);
    }
  }
  book.SaveAs(path);
  app->Quit();
}

SheetRows ReadSheet(const std::string& path, int sheetIndex, int columns) {
  if (sheetIndex == 1) {
    // The first sheet of an input workbook is read as the job reads it.
    auto app = workbook::MakeXlsxFactory()->Start(workbook::kXlsxComponent);
    workbook::Sheet& sheet = app->OpenWorkbook(path).Worksheet(1);
    SheetRows rows;
    const auto count = sheet.UsedRangeRowCount();
    for (int r = 1; r <= count; ++r) {
      std::vector<std::string> row;
      for (int c = 1; c <= columns; ++c) row.push_back(sheet.GetCell(r, c));
      while (!row.empty() && row.back().empty()) row.pop_back();
      rows.push_back(std::move(row));
    }
    app->Quit();
    return rows;
  }
  const Package package(path);
  std::vector<std::string> strings;
  if (const std::string shared = package.Read("xl/sharedStrings.xml"); !shared.empty()) {
    const XmlDoc doc = Parse(shared);
    Walk(xmlDocGetRootElement(doc.get()), "si", [&](xmlNode* si) { strings.push_back(Text(si)); });
  }
  const XmlDoc sheet =
      Parse(package.Read("xl/worksheets/sheet" + std::to_string(sheetIndex) + ".xml"));
  SheetRows rows;
  Walk(xmlDocGetRootElement(sheet.get()), "row", [&](xmlNode* row) {
    const std::size_t r = std::stoul(Attr(row, "r"));
    rows.resize(std::max(rows.size(), r));
    Walk(row->children, "c", [&](xmlNode* c) {
      const auto column = std::size_t(ColumnOf(Attr(c, "r")));
      std::string value;
      Walk(c->children, "v", [&](xmlNode* v) { value = Text(v); });
      const std::string type = Attr(c, "t");
      if (type == "s") value = strings.at(std::stoul(value));
      if (type == "inlineStr") value = Text(c);
      auto& cells = rows[r - 1];
      cells.resize(std::max(cells.size(), column));
      cells[column - 1] = value;
    });
  });
  return rows;
}

std::vector<std::string> SheetNames(const std::string& path) {
  const XmlDoc doc = Parse(Package(path).Read("xl/workbook.xml"));
  std::vector<std::string> names;
  Walk(xmlDocGetRootElement(doc.get()), "sheet",
       [&](xmlNode* sheet) { names.push_back(Attr(sheet, "name")); });
  return names;
}

std::map<std::string, std::string> CellTypes(const std::string& path, int sheetIndex) {
  const XmlDoc sheet =
      Parse(Package(path).Read("xl/worksheets/sheet" + std::to_string(sheetIndex) + ".xml"));
  std::map<std::string, std::string> types;
  Walk(xmlDocGetRootElement(sheet.get()), "c", [&](xmlNode* c) {
    const std::string type = Attr(c, "t");
    types[Attr(c, "r")] = type.empty() ? "n" : type;
  });
  return types;
}

std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (std::size_t semi = line.find(';'); semi != std::string::npos; semi = line.find(';', start)) {
    fields.push_back(line.substr(start, semi - start));
    start = semi + 1;
  }
  return fields;
}

void WriteNumbersWorkbook(const std::string& path, const std::vector<std::string>& numbers) {
  SheetRows rows{{"NIP"}};
  for (const std::string& n : numbers) rows.push_back({n});
  WriteWorkbook(path, rows);
}

std::string NumbersInput(const std::filesystem::path& folder,
                         const std::vector<std::string>& numbers) {
  const std::string path = (folder / "klienci.xlsx").string();
  WriteNumbersWorkbook(path, numbers);
  return path;
}

}  // namespace zelvor::test
