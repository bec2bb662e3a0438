#pragma once
// An .xlsx or .xlsm workbook opened from disk: its first sheet is read and written; a save
// rewrites that sheet's part, compressing only the rows changed since the last save, and copies
// every other part unchanged.

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "workbook/package_parts.h"
#include "workbook/pending_save.h"
#include "workbook/sheet_document.h"
#include "workbook/spreadsheet.h"
#include "workbook/xlsx_package.h"

namespace zelvor::workbook {

class ExistingWorkbook;

class FirstSheet final : public Sheet {
 public:
  explicit FirstSheet(ExistingWorkbook& owner) : owner_(owner) {}
  std::string Name() const override;
  void Rename(std::string_view name) override;
  using Sheet::GetCell;
  using Sheet::SetCell;
  std::string GetCell(int row, int column) override;
  void SetCell(int row, int column, std::string_view text) override;
  std::int64_t UsedRangeRowCount() override;
  // There is no window: the file keeps the selection it had.
  void Select() override {}
  void SelectCell(int row, int column) override;
  void AutofitColumn(int column) override;

 private:
  ExistingWorkbook& owner_;
};

class ExistingWorkbook final : public Workbook {
 public:
  // Throws EWorkbookError naming the file and the problem; the file is not changed.
  static std::unique_ptr<ExistingWorkbook> Open(const std::string& path);
  // `path` is where Save writes; the package names the file in messages.
  ExistingWorkbook(std::unique_ptr<XlsxPackage> package, std::string path);

  int WorksheetCount() override { return layout_.sheetCount; }
  Sheet& Worksheet(int index) override;
  Sheet& AddWorksheetAfterLast() override;
  void SaveAs(const std::string& path) override;
  void Save() override;
  void WaitForSaves() override { saves_.Wait(); }

 private:
  friend class FirstSheet;
  [[noreturn]] void Fail(const std::string& action, const std::string& problem) const;
  int DateStyle();
  // The package's entries as the workbook stands.
  std::vector<ZipEntry> Entries();
  // A small part's new text compressed; the compression is kept while the text stays the same.
  const DeflatedPart& SmallPart(const std::string& part, std::string text);

  std::unique_ptr<XlsxPackage> package_;
  std::string path_;  // where Save writes
  WorkbookLayout layout_;
  std::string sheetName_;
  SharedStrings sharedStrings_;
  std::vector<bool> dateStyles_;
  std::unique_ptr<SheetDocument> sheet_;
  FirstSheet firstSheet_{*this};
  XmlDocPtr styles_;  // set once a date needed a style the workbook lacked
  int dateStyle_ = -2;
  std::map<std::string, std::pair<std::string, DeflatedPart>> smallParts_;
  PendingSave saves_;
};

}  // namespace zelvor::workbook
