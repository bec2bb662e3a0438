#include "workbook/existing_workbook.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <functional>

#include "workbook/cell_text.h"
#include "workbook/errors.h"
#include "workbook/polish_messages.h"

namespace zelvor::workbook {
namespace {

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}

void RemoveElements(xmlNode* parent, std::string_view localName,
                    const std::function<bool(xmlNode*)>& match) {
  for (xmlNode* node : Children(parent, localName)) {
    if (match(node)) {
      xmlUnlinkNode(node);
      xmlFreeNode(node);
    }
  }
}

std::string SheetNameOf(XlsxPackage& package, const WorkbookLayout& layout) {
  const auto xml = package.Read(layout.workbookPart);
  const XmlDocPtr doc = ParseXmlPart(*xml, layout.workbookPart);
  const auto rels = ReadRelationships(package, layout.workbookPart);
  for (xmlNode* sheet : Children(FirstChild(xmlDocGetRootElement(doc.get()), "sheets"), "sheet")) {
    const std::string id = Attribute(sheet, "id", true);
    for (const auto& rel : rels) {
      if (rel.id == id && rel.target == layout.firstSheetPart) return Attribute(sheet, "name");
    }
  }
  return {};
}

}  // namespace

std::unique_ptr<ExistingWorkbook> ExistingWorkbook::Open(const std::string& path) {
  return std::make_unique<ExistingWorkbook>(XlsxPackage::Load(path), path);
}

ExistingWorkbook::ExistingWorkbook(std::unique_ptr<XlsxPackage> package, std::string path)
    : package_(std::move(package)), path_(std::move(path)) {
  layout_ = ReadLayout(*package_);
  try {
    sheetName_ = SheetNameOf(*package_, layout_);
    sharedStrings_ = ReadSharedStrings(*package_, layout_.sharedStringsPart);
    dateStyles_ = ReadDateStyles(*package_, layout_.stylesPart);
    sheet_ = std::make_unique<SheetDocument>(*package_->Read(layout_.firstSheetPart),
                                             layout_.firstSheetPart);
  } catch (const EWorkbookError& e) {
    const std::string message = e.what();
    if (IsOpenFailure(message)) throw;
    package_->Fail(message);
  }
}

void ExistingWorkbook::Fail(const std::string& action, const std::string& problem) const {
  throw EWorkbookError(
      WorkbookFailure(action + " \"" + package_->DisplayName() + "\": " + problem));
}

Sheet& ExistingWorkbook::Worksheet(int index) {
  if (index != 1) {
    Fail("Cannot use sheet " + std::to_string(index) + " of workbook",
         "only the first sheet of an opened workbook can be used");
  }
  return firstSheet_;
}

Sheet& ExistingWorkbook::AddWorksheetAfterLast() {
  Fail("Cannot add a sheet to workbook", "an opened workbook keeps its sheets");
}

int ExistingWorkbook::DateStyle() {
  if (dateStyle_ != -2) return dateStyle_;
  dateStyle_ = -1;
  if (layout_.stylesPart.empty()) return dateStyle_;
  const auto xml = package_->Read(layout_.stylesPart);
  if (!xml) return dateStyle_;
  XmlDocPtr doc = ParseXmlPart(*xml, layout_.stylesPart);
  xmlNode* root = xmlDocGetRootElement(doc.get());
  xmlNode* cellXfs = FirstChild(root, "cellXfs");
  if (cellXfs == nullptr) return dateStyle_;
  xmlNode* numFmts = FirstChild(root, "numFmts");
  int formatId = -1;
  int highestId = 163;
  for (xmlNode* fmt : Children(numFmts, "numFmt")) {
    const int id = ToInt(Attribute(fmt, "numFmtId"), 0);
    highestId = std::max(highestId, id);
    if (Lower(Attribute(fmt, "formatCode")) == "yyyy-mm-dd") formatId = id;
  }
  const auto xfs = Children(cellXfs, "xf");
  if (formatId >= 0) {
    for (std::size_t i = 0; i < xfs.size(); ++i) {
      if (ToInt(Attribute(xfs[i], "numFmtId"), -1) == formatId) {
        return dateStyle_ = static_cast<int>(i);
      }
    }
  } else {
    // The workbook has no yyyy-mm-dd format yet: add one, with a cell style that uses it.
    formatId = highestId + 1;
    if (numFmts == nullptr) {
      numFmts = xmlNewDocNode(doc.get(), root->ns, XmlChars("numFmts"), nullptr);
      if (root->children != nullptr) {
        xmlAddPrevSibling(root->children, numFmts);
      } else {
        xmlAddChild(root, numFmts);
      }
    }
    xmlNode* fmt = xmlNewChild(numFmts, root->ns, XmlChars("numFmt"), nullptr);
    SetAttribute(fmt, "numFmtId", std::to_string(formatId));
    SetAttribute(fmt, "formatCode", "yyyy-mm-dd");
    SetAttribute(numFmts, "count", std::to_string(Children(numFmts, "numFmt").size()));
  }
  xmlNode* xf = xmlNewChild(cellXfs, root->ns, XmlChars("xf"), nullptr);
  SetAttribute(xf, "numFmtId", std::to_string(formatId));
  for (const char* attr : {"fontId", "fillId", "borderId", "xfId"}) SetAttribute(xf, attr, "0");
  SetAttribute(xf, "applyNumberFormat", "1");
  SetAttribute(cellXfs, "count", std::to_string(xfs.size() + 1));
  dateStyle_ = static_cast<int>(xfs.size());
  if (dateStyles_.size() <= static_cast<std::size_t>(dateStyle_)) {
    dateStyles_.resize(static_cast<std::size_t>(dateStyle_) + 1, false);
  }
  dateStyles_[static_cast<std::size_t>(dateStyle_)] = true;
  styles_ = std::move(doc);
  return dateStyle_;
}

void ExistingWorkbook::SaveAs(const std::string& path) {
  saves_.Save(path, [this] { return Entries(); });
  path_ = path;
}

void ExistingWorkbook::Save() {
  SaveAs(path_);
}

const DeflatedPart& ExistingWorkbook::SmallPart(const std::string& part, std::string text) {
  auto& [kept, compressed] = smallParts_[part];
  if (compressed.segments.empty() || kept != text) {
    compressed = DeflatePart(text);
    kept = std::move(text);
  }
  return compressed;
}

std::vector<ZipEntry> ExistingWorkbook::Entries() {
  std::map<std::string, std::string> texts;
  std::set<std::string> dropped;
  if (styles_) texts[package_->StoredName(layout_.stylesPart)] = SerializeXml(styles_.get());
  if (sheet_->FormulaOverwritten() && !layout_.calcChainPart.empty() &&
      package_->Has(layout_.calcChainPart)) {
    // A chain naming a cell that no longer holds a formula makes the spreadsheet program
    // report a damaged file; without a chain it rebuilds one.
    auto& package = *package_;
    dropped.insert(package.StoredName(layout_.calcChainPart));
    const std::string typesPart = package.StoredName("[Content_Types].xml");
    const XmlDocPtr types = ParseXmlPart(*package.Read(typesPart), typesPart);
    const std::string chainName = Lower("/" + layout_.calcChainPart);
    RemoveElements(xmlDocGetRootElement(types.get()), "Override",
                   [&](xmlNode* node) { return Lower(Attribute(node, "PartName")) == chainName; });
    texts[typesPart] = SerializeXml(types.get());
    const std::string relsPart = package.StoredName(RelationshipsPartOf(layout_.workbookPart));
    const XmlDocPtr rels = ParseXmlPart(*package.Read(relsPart), relsPart);
    RemoveElements(xmlDocGetRootElement(rels.get()), "Relationship", [](xmlNode* node) {
      return IsRelationshipType(Attribute(node, "Type"), "calcChain");
    });
    texts[relsPart] = SerializeXml(rels.get());
  }
  std::map<std::string, DeflatedPart> replaced;
  for (auto& [part, text] : texts) replaced[part] = SmallPart(part, std::move(text));
  replaced[package_->StoredName(layout_.firstSheetPart)] = sheet_->Compressed();
  return package_->Entries(replaced, dropped);
}

std::string FirstSheet::Name() const {
  return owner_.sheetName_;
}

void FirstSheet::Rename(std::string_view) {
  owner_.Fail("Cannot rename the first sheet of workbook", "an opened workbook keeps its names");
}

std::string FirstSheet::GetCell(int row, int column) {
  const CellContext context{&owner_.sharedStrings_, &owner_.dateStyles_, owner_.layout_.date1904};
  return owner_.sheet_->Value(row, column, context);
}

void FirstSheet::SetCell(int row, int column, std::string_view text) {
  CheckCellPosition(row, column);
  if (Utf8Length(text) > kMaxCellChars) {
    owner_.Fail("Cannot write cell " + CellRefText(row, column) + " of workbook",
                "a cell holds at most 32767 characters");
  }
  const std::string clean = CleanXmlText(text);
  const int dateStyle = ClassifyText(clean).kind == CellKind::Date ? owner_.DateStyle() : -1;
  owner_.sheet_->Set(row, column, clean, dateStyle);
}

std::int64_t FirstSheet::UsedRangeRowCount() {
  return owner_.sheet_->LastRowWithValue();
}

void FirstSheet::SelectCell(int row, int column) {
  CheckCellPosition(row, column);
}

void FirstSheet::AutofitColumn(int column) {
  CheckCellPosition(1, column);
}

}  // namespace zelvor::workbook
