#include "support/failing_factory.h"

#include "workbook/errors.h"
#include "workbook/polish_messages.h"

namespace zelvor::test {

using workbook::Application;
using workbook::ApplicationFactory;
using workbook::Sheet;
using workbook::Workbook;

namespace {

class FailingSheet final : public Sheet {
 public:
  FailingSheet(FailingFactory& f, Sheet& inner) : f_(f), inner_(inner) {}
  std::string Name() const override { return inner_.Name(); }
  void Rename(std::string_view name) override {
    Check(Operation::Rename, 0, 0, std::string(name));
    inner_.Rename(name);
  }
  using Sheet::GetCell;
  using Sheet::SetCell;
  std::string GetCell(int row, int column) override {
    Check(Operation::GetCell, row, column);
    return inner_.GetCell(row, column);
  }
  void SetCell(int row, int column, std::string_view text) override {
    Check(Operation::SetCell, row, column, std::string(text));
    inner_.SetCell(row, column, text);
  }
  std::int64_t UsedRangeRowCount() override {
    Check(Operation::UsedRangeRowCount);
    return inner_.UsedRangeRowCount();
  }
  void Select() override {
    Check(Operation::SelectSheet);
    inner_.Select();
  }
  void SelectCell(int row, int column) override {
    Check(Operation::SelectCell, row, column);
    inner_.SelectCell(row, column);
  }
  void AutofitColumn(int column) override {
    Check(Operation::AutofitColumn, 0, column);
    inner_.AutofitColumn(column);
  }

 private:
  void Check(Operation op, int row = 0, int column = 0, std::string text = {}) {
    f_.Check(op, inner_.Name(), row, column, std::move(text));
  }
  FailingFactory& f_;
  Sheet& inner_;
};

class FailingWorkbook final : public Workbook {
 public:
  FailingWorkbook(FailingFactory& f, Workbook& inner) : f_(f), inner_(inner) {}
  int WorksheetCount() override {
    f_.Check(Operation::WorksheetCount);
    return inner_.WorksheetCount();
  }
  Sheet& Worksheet(int index) override {
    f_.Check(Operation::Worksheet, {}, index);
    return Wrap(inner_.Worksheet(index));
  }
  Sheet& AddWorksheetAfterLast() override {
    f_.Check(Operation::AddWorksheet);
    return Wrap(inner_.AddWorksheetAfterLast());
  }
  void SaveAs(const std::string& path) override {
    f_.Check(Operation::SaveAs, {}, 0, 0, path);
    inner_.SaveAs(path);
  }
  void Save() override {
    f_.Check(Operation::Save);
    inner_.Save();
  }
  void WaitForSaves() override { inner_.WaitForSaves(); }

 private:
  Sheet& Wrap(Sheet& sheet) {
    auto& wrapped = sheets_[&sheet];
    if (!wrapped) wrapped = std::make_unique<FailingSheet>(f_, sheet);
    return *wrapped;
  }
  FailingFactory& f_;
  Workbook& inner_;
  std::map<Sheet*, std::unique_ptr<FailingSheet>> sheets_;
};

class FailingApplication final : public Application {
 public:
  FailingApplication(FailingFactory& f, std::unique_ptr<Application> inner)
      : f_(f), inner_(std::move(inner)) {}
  Workbook& AddWorkbook() override {
    f_.Check(Operation::AddWorkbook);
    return Wrap(inner_->AddWorkbook());
  }
  Workbook& OpenWorkbook(const std::string& path) override {
    f_.Check(Operation::OpenWorkbook, {}, 0, 0, path);
    return Wrap(inner_->OpenWorkbook(path));
  }
  Workbook& Workbooks(int index) override {
    f_.Check(Operation::Workbooks, {}, index);
    return Wrap(inner_->Workbooks(index));
  }
  void CloseWorkbooks() override {
    f_.Check(Operation::CloseWorkbooks);
    inner_->CloseWorkbooks();
    workbooks_.clear();
  }
  void Quit() override {
    f_.Check(Operation::Quit);
    inner_->Quit();
    workbooks_.clear();
  }

 private:
  Workbook& Wrap(Workbook& book) {
    auto& wrapped = workbooks_[&book];
    if (!wrapped) wrapped = std::make_unique<FailingWorkbook>(f_, book);
    return *wrapped;
  }
  FailingFactory& f_;
  std::unique_ptr<Application> inner_;
  std::map<Workbook*, std::unique_ptr<FailingWorkbook>> workbooks_;
};

constexpr const char* kOperationNames[] = {
    "start",        "add workbook",    "open workbook", "workbooks",     "close workbooks",
    "quit",         "worksheet count", "worksheet",     "add worksheet", "save as",
    "save",         "rename",          "get cell",      "set cell",      "used range",
    "select sheet", "select cell",     "autofit column"};

}  // namespace

// Worded as the component words a failure of its own.
std::string InjectedFailureMessage(Operation operation) {
  return workbook::WorkbookFailure(std::string("Spreadsheet operation failed: ") +
                                   kOperationNames[static_cast<int>(operation)]);
}

FailingFactory::FailingFactory(Rule rule, std::unique_ptr<ApplicationFactory> inner)
    : rule_(std::move(rule)), inner_(std::move(inner)) {}

FailingFactory::~FailingFactory() = default;

std::unique_ptr<Application> FailingFactory::Start(std::string_view programId) {
  Check(Operation::Start, {}, 0, 0, std::string(programId));
  return std::make_unique<FailingApplication>(*this, inner_->Start(programId));
}

FailingFactory::Rule FailingFactory::FailFrom(Operation operation, int nth) {
  return
      [=](const OperationCall& call) { return call.operation == operation && call.count >= nth; };
}

FailingFactory::Rule FailingFactory::FailOnce(Operation operation, int nth) {
  return
      [=](const OperationCall& call) { return call.operation == operation && call.count == nth; };
}

int FailingFactory::Calls(Operation operation) const {
  const auto it = counts_.find(operation);
  return it == counts_.end() ? 0 : it->second;
}

void FailingFactory::Check(Operation operation, std::string sheet, int row, int column,
                           std::string text) {
  OperationCall call{operation, std::move(sheet), row, column, std::move(text), 0};
  call.count = ++counts_[call.operation];
  if (rule_ && rule_(call)) throw workbook::EWorkbookError(InjectedFailureMessage(call.operation));
}

}  // namespace zelvor::test
