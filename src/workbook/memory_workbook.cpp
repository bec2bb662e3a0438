#include "workbook/memory_workbook.h"

#include <algorithm>

#include "workbook/cell_text.h"
#include "workbook/errors.h"
#include "workbook/new_workbook_parts.h"
#include "workbook/polish_messages.h"
#include "workbook/zip_writer.h"

namespace zelvor::workbook {
namespace {

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

}  // namespace

void MemorySheet::Rename(std::string_view name) {
  owner_.CheckSheetName(name, this);
  name_ = std::string(name);
}

std::string MemorySheet::GetCell(int row, int column) {
  CheckCellPosition(row, column);
  const auto r = static_cast<std::size_t>(row - 1);
  if (r >= rows_.size()) return {};
  return std::string(rows_[r].Get(column));
}

void MemorySheet::SetCell(int row, int column, std::string_view text) {
  CheckCellPosition(row, column);
  if (Utf8Length(text) > kMaxCellChars) {
    throw EWorkbookError(WorkbookFailure("Cell " + CellRefText(row, column) + " of sheet \"" +
                                         name_ + "\" cannot hold more than 32767 characters"));
  }
  const auto r = static_cast<std::size_t>(row - 1);
  if (text.empty() && r >= rows_.size()) return;
  if (r >= rows_.size()) rows_.resize(r + 1);
  const std::string clean = CleanXmlText(text);
  PackedRow& cells = rows_[r];
  const std::size_t before = Utf8Length(cells.Get(column));
  cells.Set(column, clean);
  chunks_.Changed(r);

  const auto c = static_cast<std::size_t>(column - 1);
  if (longest_.size() <= c) longest_.resize(c + 1, 0);
  const std::size_t after = Utf8Length(clean);
  if (after >= longest_[c]) {
    longest_[c] = after;
  } else if (before == longest_[c]) {
    longestStale_ = true;
  }
  if (!clean.empty()) {
    firstColumn_ = firstColumn_ == 0 ? column : std::min(firstColumn_, column);
    lastColumn_ = std::max(lastColumn_, column);
  }
}

std::int64_t MemorySheet::UsedRangeRowCount() {
  for (std::size_t r = rows_.size(); r > 0; --r) {
    if (!rows_[r - 1].Empty()) return static_cast<std::int64_t>(r);
  }
  return 0;
}

void MemorySheet::Select() {
  owner_.Activate(*this);
}

void MemorySheet::SelectCell(int row, int column) {
  CheckCellPosition(row, column);
  selectedRow_ = row;
  selectedColumn_ = column;
}

void MemorySheet::RefreshLongest() {
  std::fill(longest_.begin(), longest_.end(), 0);
  for (const PackedRow& cells : rows_) {
    cells.ForEach([&](int column, std::string_view text) {
      auto& longest = longest_[static_cast<std::size_t>(column - 1)];
      longest = std::max(longest, Utf8Length(text));
    });
  }
  longestStale_ = false;
}

void MemorySheet::AutofitColumn(int column) {
  CheckCellPosition(1, column);
  if (longestStale_) RefreshLongest();
  const auto c = static_cast<std::size_t>(column - 1);
  const std::size_t longest = c < longest_.size() ? longest_[c] : 0;
  if (widths_.size() <= c) widths_.resize(c + 1);
  // A character and a half of margin, as a spreadsheet program leaves; 255 is the widest.
  widths_[c] = longest == 0 ? 0 : std::min(255.0, static_cast<double>(longest) + 1.5);
}

DeflatedPart MemorySheet::Compressed(bool selected) {
  // Rows are written once, as a rule, before the save that first compresses them.
  for (; compacted_ < rows_.size(); ++compacted_) rows_[compacted_].Compact();
  chunks_.Update(rows_.size(), [this](std::size_t row, std::string& out) {
    AppendRowXml(out, static_cast<int>(row + 1), rows_[row]);
  });
  SheetLook look;
  look.lastRow = static_cast<int>(UsedRangeRowCount());
  if (look.lastRow > 0) {
    look.firstRow = 1;
    while (rows_[static_cast<std::size_t>(look.firstRow - 1)].Empty()) ++look.firstRow;
    look.firstColumn = firstColumn_;
    look.lastColumn = lastColumn_;
  }
  look.selected = selected;
  look.selectedRow = selectedRow_;
  look.selectedColumn = selectedColumn_;
  look.widths = &widths_;
  DeflatedPart part;
  part.Append(DeflateSegment(SheetHeadXml(look), SegmentEnd::Continued));
  chunks_.AppendTo(part);
  part.Append(DeflateSegment(SheetTailXml(), SegmentEnd::Last));
  return part;
}

MemoryWorkbook::MemoryWorkbook() {
  sheets_.push_back(std::make_unique<MemorySheet>(*this, "Sheet1"));
}

Sheet& MemoryWorkbook::Worksheet(int index) {
  if (index < 1 || index > WorksheetCount()) {
    throw EWorkbookError(WorkbookFailure("The workbook has no worksheet " + std::to_string(index)));
  }
  return *sheets_[static_cast<std::size_t>(index - 1)];
}

Sheet& MemoryWorkbook::AddWorksheetAfterLast() {
  for (int n = WorksheetCount() + 1;; ++n) {
    const std::string name = "Sheet" + std::to_string(n);
    try {
      CheckSheetName(name, nullptr);
    } catch (const EWorkbookError&) {
      continue;
    }
    sheets_.push_back(std::make_unique<MemorySheet>(*this, name));
    return *sheets_.back();
  }
}

void MemoryWorkbook::Activate(const MemorySheet& sheet) {
  for (std::size_t i = 0; i < sheets_.size(); ++i) {
    if (sheets_[i].get() == &sheet) active_ = i;
  }
}

void MemoryWorkbook::CheckSheetName(std::string_view name, const MemorySheet* sheet) const {
  const auto fail = [&](const std::string& why) {
    throw EWorkbookError(
        WorkbookFailure("A sheet cannot be named \"" + std::string(name) + "\": " + why));
  };
  if (name.empty()) fail("the name is empty");
  if (Utf8Length(name) > 31) fail("a name holds at most 31 characters");
  if (name.find_first_of("[]:*?/\\") != std::string_view::npos) {
    fail("a name cannot hold any of [ ] : * ? / \\");
  }
  if (name.front() == '\'' || name.back() == '\'') fail("a name cannot begin or end with '");
  const std::string lower = Lower(name);
  for (const auto& other : sheets_) {
    if (other.get() != sheet && Lower(other->Name()) == lower) fail("another sheet has it");
  }
}

void MemoryWorkbook::SaveAs(const std::string& path) {
  saves_.Save(path, [this] { return Entries(); });
}

std::vector<ZipEntry> MemoryWorkbook::Entries() {
  std::vector<std::string> names;
  for (const auto& sheet : sheets_) names.push_back(sheet->Name());
  std::vector<std::pair<std::string, DeflatedPart>> parts;
  parts.emplace_back("[Content_Types].xml", DeflatePart(ContentTypesXml(sheets_.size())));
  parts.emplace_back("_rels/.rels", DeflatePart(PackageRelationshipsXml()));
  parts.emplace_back("xl/workbook.xml", DeflatePart(WorkbookXml(names, active_)));
  parts.emplace_back("xl/_rels/workbook.xml.rels",
                     DeflatePart(WorkbookRelationshipsXml(sheets_.size())));
  parts.emplace_back("xl/styles.xml", DeflatePart(StylesXml()));
  for (std::size_t s = 0; s < sheets_.size(); ++s) {
    parts.emplace_back(SheetPartName(s + 1), sheets_[s]->Compressed(s == active_));
  }
  std::vector<ZipEntry> entries;
  for (const auto& [name, part] : parts) entries.push_back(DeflatedEntry(name, part));
  return entries;
}

void MemoryWorkbook::Save() {
  if (saves_.SavedPath().empty()) {
    throw EWorkbookError(WorkbookFailure("The new workbook has no file yet: save it as a file"));
  }
  SaveAs(saves_.SavedPath());
}

}  // namespace zelvor::workbook
