#pragma once
// A new workbook kept in memory. Its sheets keep their rows compressed between saves, so a save
// compresses only the rows written since the last one and writes the rest as they are; a save
// over the file it saved last finishes in the background.

#include <memory>
#include <string>
#include <vector>

#include "workbook/deflate_segment.h"
#include "workbook/packed_row.h"
#include "workbook/pending_save.h"
#include "workbook/row_chunks.h"
#include "workbook/spreadsheet.h"
#include "workbook/zip_writer.h"

namespace zelvor::workbook {

class MemoryWorkbook;

class MemorySheet final : public Sheet {
 public:
  MemorySheet(MemoryWorkbook& owner, std::string name) : owner_(owner), name_(std::move(name)) {}

  std::string Name() const override { return name_; }
  void Rename(std::string_view name) override;
  using Sheet::GetCell;
  using Sheet::SetCell;
  std::string GetCell(int row, int column) override;
  void SetCell(int row, int column, std::string_view text) override;
  std::int64_t UsedRangeRowCount() override;
  void Select() override;
  void SelectCell(int row, int column) override;
  void AutofitColumn(int column) override;

  // The sheet's part as it stands, compressed; `selected` marks the sheet shown on opening.
  DeflatedPart Compressed(bool selected);

 private:
  // The longest text of each column, in characters, found again after a longest one shrank.
  void RefreshLongest();

  MemoryWorkbook& owner_;
  std::string name_;
  std::vector<PackedRow> rows_;  // from row 1
  std::vector<double> widths_;   // fitted widths in characters, column 1 first; 0: default
  std::vector<std::size_t> longest_;
  bool longestStale_ = false;
  int firstColumn_ = 0;  // the columns that ever held a text; 0 before any
  int lastColumn_ = 0;
  int selectedRow_ = 1;
  int selectedColumn_ = 1;
  RowChunks chunks_;
  std::size_t compacted_ = 0;  // rows before this one were compacted
};

class MemoryWorkbook final : public Workbook {
 public:
  MemoryWorkbook();
  MemoryWorkbook(const MemoryWorkbook&) = delete;
  MemoryWorkbook& operator=(const MemoryWorkbook&) = delete;
  // A save still finishing is waited for; its failure is raised only by WaitForSaves and by the
  // application's CloseWorkbooks and Quit.
  ~MemoryWorkbook() override = default;

  int WorksheetCount() override { return static_cast<int>(sheets_.size()); }
  Sheet& Worksheet(int index) override;
  Sheet& AddWorksheetAfterLast() override;
  void SaveAs(const std::string& path) override;
  void Save() override;
  void WaitForSaves() override { saves_.Wait(); }

  void Activate(const MemorySheet& sheet);
  // Throws EWorkbookError unless the name may be given to `sheet`.
  void CheckSheetName(std::string_view name, const MemorySheet* sheet) const;

 private:
  // The package's entries as the workbook stands.
  std::vector<ZipEntry> Entries();

  std::vector<std::unique_ptr<MemorySheet>> sheets_;
  std::size_t active_ = 0;
  PendingSave saves_;
};

}  // namespace zelvor::workbook
