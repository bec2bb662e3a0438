#include "workbook/memory_workbook.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <span>

#include "workbook/atomic_save.h"
#include "workbook/cell_text.h"
#include "workbook/errors.h"
#include "workbook/xlsx_package.h"
#include "workbook/xml_util.h"

namespace zelvor::workbook {
namespace {

struct LxwWorkbookClose {
  void operator()(lxw_workbook* wb) const { workbook_close(wb); }
};
using LxwWorkbookPtr = std::unique_ptr<lxw_workbook, LxwWorkbookClose>;

void Check(lxw_error err, const char* what) {
  if (err != LXW_NO_ERROR) throw EWorkbookError(std::string(what) + ": " + lxw_strerror(err));
}

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

// What one save writes. It refers to the sheets themselves for a save done before the call
// returns, and to a copy for one that finishes in the background while the job goes on.
struct SheetContent {
  std::string name;
  std::span<const std::vector<std::string>> rows;
  std::span<const double> widths;
  int selectedRow = 1;
  int selectedColumn = 1;
};
struct WorkbookContent {
  std::vector<SheetContent> sheets;
  std::size_t active = 0;
};

WorkbookContent ContentOf(const std::vector<std::unique_ptr<MemorySheet>>& sheets,
                          std::size_t active) {
  WorkbookContent content;
  content.active = active;
  for (const auto& sheet : sheets) {
    content.sheets.push_back({sheet->Name(), sheet->Rows(), sheet->Widths(), sheet->SelectedRow(),
                              sheet->SelectedColumn()});
  }
  return content;
}

// The cells of a workbook copied for a save in the background, and its content referring to them.
class CopiedContent {
 public:
  explicit CopiedContent(WorkbookContent live) : content_(std::move(live)) {
    rows_.reserve(content_.sheets.size());
    widths_.reserve(content_.sheets.size());
    for (SheetContent& sheet : content_.sheets) {
      sheet.rows = rows_.emplace_back(sheet.rows.begin(), sheet.rows.end());
      sheet.widths = widths_.emplace_back(sheet.widths.begin(), sheet.widths.end());
    }
  }
  CopiedContent(const CopiedContent&) = delete;
  CopiedContent& operator=(const CopiedContent&) = delete;
  const WorkbookContent& Content() const { return content_; }

 private:
  WorkbookContent content_;
  std::vector<std::vector<std::vector<std::string>>> rows_;
  std::vector<std::vector<double>> widths_;
};

void WriteXlsx(const WorkbookContent& content, const std::string& path) {
  // Rows are complete when we write them, so libxlsxwriter can stream each row to disk and keep
  // its memory flat however large the workbook grows.
  lxw_workbook_options options{};
  options.constant_memory = LXW_TRUE;
  LxwWorkbookPtr wb(workbook_new_opt(path.c_str(), &options));
  if (!wb) throw EWorkbookError("libxlsxwriter cannot start a workbook");
  lxw_format* dateFormat = workbook_add_format(wb.get());
  if (dateFormat == nullptr) throw EWorkbookError("libxlsxwriter cannot add a format");
  format_set_num_format(dateFormat, "yyyy-mm-dd");

  for (std::size_t s = 0; s < content.sheets.size(); ++s) {
    const SheetContent& sheet = content.sheets[s];
    lxw_worksheet* ws = workbook_add_worksheet(wb.get(), sheet.name.c_str());
    if (ws == nullptr)
      throw EWorkbookError("libxlsxwriter refuses the sheet \"" + sheet.name + "\"");
    const auto& widths = sheet.widths;
    for (std::size_t c = 0; c < widths.size(); ++c) {
      if (widths[c] > 0) {
        const auto col = static_cast<lxw_col_t>(c);
        Check(worksheet_set_column(ws, col, col, widths[c], nullptr), "column width");
      }
    }
    const auto& rows = sheet.rows;
    for (std::size_t r = 0; r < rows.size(); ++r) {
      const auto row = static_cast<lxw_row_t>(r);
      for (std::size_t c = 0; c < rows[r].size(); ++c) {
        const std::string& text = rows[r][c];
        if (text.empty()) continue;
        const auto col = static_cast<lxw_col_t>(c);
        const TypedText typed = ClassifyText(text);
        switch (typed.kind) {
          case CellKind::Number:
            Check(worksheet_write_number(ws, row, col, typed.number, nullptr), "cell");
            break;
          case CellKind::Date:
            Check(worksheet_write_number(ws, row, col, typed.number, dateFormat), "cell");
            break;
          case CellKind::Text:
            if (text.find("_x") == std::string::npos) {
              Check(worksheet_write_string(ws, row, col, text.c_str(), nullptr), "cell");
            } else {
              const std::string escaped = EscapeOoxmlText(text);
              Check(worksheet_write_string(ws, row, col, escaped.c_str(), nullptr), "cell");
            }
            break;
        }
      }
    }
    const auto selRow = static_cast<lxw_row_t>(sheet.selectedRow - 1);
    const auto selCol = static_cast<lxw_col_t>(sheet.selectedColumn - 1);
    worksheet_set_selection(ws, selRow, selCol, selRow, selCol);
    if (s == content.active) worksheet_activate(ws);
  }
  const lxw_error err = workbook_close(wb.release());
  Check(err, "writing the file");
  // libxlsxwriter does not notice every failed write of its scratch files.
  std::vector<std::string> parts;
  for (std::size_t s = 1; s <= content.sheets.size(); ++s) {
    parts.push_back("xl/worksheets/sheet" + std::to_string(s) + ".xml");
  }
  CheckPartsEndWith(path, parts, "</worksheet>");
}

}  // namespace

void MemorySheet::Rename(std::string_view name) {
  owner_.CheckSheetName(name, this);
  name_ = std::string(name);
}

std::string MemorySheet::GetCell(int row, int column) {
  CheckCellPosition(row, column);
  const auto r = static_cast<std::size_t>(row - 1);
  const auto c = static_cast<std::size_t>(column - 1);
  if (r >= rows_.size() || c >= rows_[r].size()) return {};
  return rows_[r][c];
}

void MemorySheet::SetCell(int row, int column, std::string_view text) {
  CheckCellPosition(row, column);
  if (Utf8Length(text) > kMaxCellChars) {
    throw EWorkbookError("Cell " + CellRefText(row, column) + " of sheet \"" + name_ +
                         "\" cannot hold more than 32767 characters");
  }
  const auto r = static_cast<std::size_t>(row - 1);
  const auto c = static_cast<std::size_t>(column - 1);
  if (text.empty() && (r >= rows_.size() || c >= rows_[r].size())) return;
  if (r >= rows_.size()) rows_.resize(r + 1);
  auto& cells = rows_[r];
  if (c >= cells.size()) cells.resize(c + 1);
  cells[c] = CleanXmlText(text);
}

std::int64_t MemorySheet::UsedRangeRowCount() {
  for (std::size_t r = rows_.size(); r > 0; --r) {
    const auto& cells = rows_[r - 1];
    if (std::any_of(cells.begin(), cells.end(), [](const auto& t) { return !t.empty(); })) {
      return static_cast<std::int64_t>(r);
    }
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

void MemorySheet::AutofitColumn(int column) {
  CheckCellPosition(1, column);
  const auto c = static_cast<std::size_t>(column - 1);
  std::size_t longest = 0;
  for (const auto& cells : rows_) {
    if (c < cells.size()) longest = std::max(longest, Utf8Length(cells[c]));
  }
  if (widths_.size() <= c) widths_.resize(c + 1);
  // A character and a half of margin, as a spreadsheet program leaves; 255 is the widest.
  widths_[c] = longest == 0 ? 0 : std::min(255.0, static_cast<double>(longest) + 1.5);
}

MemoryWorkbook::MemoryWorkbook() {
  sheets_.push_back(std::make_unique<MemorySheet>(*this, "Sheet1"));
}

Sheet& MemoryWorkbook::Worksheet(int index) {
  if (index < 1 || index > WorksheetCount()) {
    throw EWorkbookError("The workbook has no worksheet " + std::to_string(index));
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
    throw EWorkbookError("A sheet cannot be named \"" + std::string(name) + "\": " + why);
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

MemoryWorkbook::~MemoryWorkbook() {
  if (pendingSave_.valid()) pendingSave_.wait();
}

void MemoryWorkbook::SaveAs(const std::string& path) {
  WaitForSaves();
  const WorkbookContent content = ContentOf(sheets_, active_);
  if (path != path_) {
    // A new file is written before the call returns, so a wrong path fails right here.
    SaveAtomically(path, [&content](const std::string& temp) { WriteXlsx(content, temp); });
    path_ = path;
    return;
  }
  // Saving over the same file again, as a long job does every few rows: a copy is written
  // while the job goes on, and the next save or the close raises a failure.
  pendingSave_ =
      std::async(std::launch::async, [copy = std::make_unique<const CopiedContent>(content), path] {
        SaveAtomically(path,
                       [&copy](const std::string& temp) { WriteXlsx(copy->Content(), temp); });
      });
}

void MemoryWorkbook::Save() {
  if (path_.empty()) throw EWorkbookError("The new workbook has no file yet: save it as a file");
  SaveAs(path_);
}

void MemoryWorkbook::WaitForSaves() {
  if (!pendingSave_.valid()) return;
  std::future<void> save = std::move(pendingSave_);
  save.get();
}

}  // namespace zelvor::workbook
