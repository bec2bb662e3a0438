#pragma once
// A new workbook kept in memory; every save-as writes it whole with libxlsxwriter.

#include <future>
#include <memory>
#include <string>
#include <vector>

#include "workbook/spreadsheet.h"

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

  // Rows from 0; a row holds its cells from column 1 on, "" for an empty cell.
  const std::vector<std::vector<std::string>>& Rows() const { return rows_; }
  // Fitted widths in characters by column from 0; 0 keeps the default width.
  const std::vector<double>& Widths() const { return widths_; }
  int SelectedRow() const { return selectedRow_; }
  int SelectedColumn() const { return selectedColumn_; }

 private:
  MemoryWorkbook& owner_;
  std::string name_;
  std::vector<std::vector<std::string>> rows_;
  std::vector<double> widths_;
  int selectedRow_ = 1;
  int selectedColumn_ = 1;
};

class MemoryWorkbook final : public Workbook {
 public:
  MemoryWorkbook();
  MemoryWorkbook(const MemoryWorkbook&) = delete;
  MemoryWorkbook& operator=(const MemoryWorkbook&) = delete;
  // Waits for a save still finishing; its failure is raised only by WaitForSaves and by the
  // application's CloseWorkbooks and Quit.
  ~MemoryWorkbook() override;

  int WorksheetCount() override { return static_cast<int>(sheets_.size()); }
  Sheet& Worksheet(int index) override;
  Sheet& AddWorksheetAfterLast() override;
  void SaveAs(const std::string& path) override;
  void Save() override;
  void WaitForSaves() override;

  void Activate(const MemorySheet& sheet);
  // Throws EWorkbookError unless the name may be given to `sheet`.
  void CheckSheetName(std::string_view name, const MemorySheet* sheet) const;

 private:
  std::vector<std::unique_ptr<MemorySheet>> sheets_;
  std::size_t active_ = 0;
  std::string path_;  // where the last save that was started synchronously wrote
  std::future<void> pendingSave_;
};

}  // namespace zelvor::workbook
