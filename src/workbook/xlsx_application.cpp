// Our own spreadsheet component: new workbooks in memory, existing ones opened from disk.

#include <exception>
#include <vector>

#include "workbook/cell_text.h"
#include "workbook/errors.h"
#include "workbook/existing_workbook.h"
#include "workbook/memory_workbook.h"
#include "workbook/polish_messages.h"
#include "workbook/spreadsheet.h"

namespace zelvor::workbook {

std::string Sheet::GetCell(int row, std::string_view columnLetters) {
  const int column = ColumnNumber(columnLetters);
  if (column == 0)
    throw EWorkbookError(WorkbookFailure("\"" + std::string(columnLetters) + "\" is no column"));
  return GetCell(row, column);
}

void Sheet::SetCell(int row, std::string_view columnLetters, std::string_view text) {
  const int column = ColumnNumber(columnLetters);
  if (column == 0)
    throw EWorkbookError(WorkbookFailure("\"" + std::string(columnLetters) + "\" is no column"));
  SetCell(row, column, text);
}

namespace {

class XlsxApplication final : public Application {
 public:
  Workbook& AddWorkbook() override {
    CheckRunning();
    workbooks_.push_back(std::make_unique<MemoryWorkbook>());
    return *workbooks_.back();
  }

  Workbook& OpenWorkbook(const std::string& path) override {
    CheckRunning();
    // The file may be one that a workbook of this instance is still saving.
    for (const auto& workbook : workbooks_) workbook->WaitForSaves();
    workbooks_.push_back(ExistingWorkbook::Open(path));
    return *workbooks_.back();
  }

  Workbook& Workbooks(int index) override {
    CheckRunning();
    if (index < 1 || static_cast<std::size_t>(index) > workbooks_.size()) {
      throw EWorkbookError(WorkbookFailure("No workbook " + std::to_string(index) + " is open"));
    }
    return *workbooks_[static_cast<std::size_t>(index - 1)];
  }

  void CloseWorkbooks() override {
    CheckRunning();
    CloseAll();
  }

  void Quit() override {
    running_ = false;
    CloseAll();
  }

 private:
  // Every workbook is closed; a save still finishing is waited for and its failure raised.
  void CloseAll() {
    std::exception_ptr failure;
    for (const auto& workbook : workbooks_) {
      try {
        workbook->WaitForSaves();
      } catch (...) {
        if (!failure) failure = std::current_exception();
      }
    }
    workbooks_.clear();
    if (failure) std::rethrow_exception(failure);
  }

  void CheckRunning() const {
    if (!running_) throw EWorkbookError(WorkbookFailure("The spreadsheet instance has ended"));
  }

  std::vector<std::unique_ptr<Workbook>> workbooks_;
  bool running_ = true;
};

class XlsxFactory final : public ApplicationFactory {
 public:
  std::unique_ptr<Application> Start(std::string_view programId) override {
    if (programId != kXlsxComponent) {
      throw EWorkbookError(
          WorkbookFailure("No spreadsheet program is known as \"" + std::string(programId) + "\""));
    }
    return std::make_unique<XlsxApplication>();
  }
};

}  // namespace

std::unique_ptr<ApplicationFactory> MakeXlsxFactory() {
  return std::make_unique<XlsxFactory>();
}

}  // namespace zelvor::workbook
