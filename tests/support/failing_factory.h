#pragma once
// A spreadsheet factory for tests: it passes every operation to a real factory and fails the ones
// a rule picks, so that each failure path of a job can be driven.

#include <functional>
#include <map>
#include <memory>
#include <string>

#include "workbook/spreadsheet.h"

namespace zelvor::test {

enum class Operation {
  Start,
  AddWorkbook,
  OpenWorkbook,
  Workbooks,
  CloseWorkbooks,
  Quit,
  WorksheetCount,
  Worksheet,
  AddWorksheet,
  SaveAs,
  Save,
  Rename,
  GetCell,
  SetCell,
  UsedRangeRowCount,
  SelectSheet,
  SelectCell,
  AutofitColumn,
};

// One operation as the rule sees it; fields that do not apply stay empty.
struct OperationCall {
  Operation operation;
  std::string sheet;  // the sheet's name for sheet operations
  int row = 0;        // the row of a cell, the index of a worksheet or workbook
  int column = 0;
  std::string text;  // the text set, the new name, the path, the program identifier
  int count = 0;     // how many calls of this operation there were, this one included
};

class FailingFactory final : public workbook::ApplicationFactory {
 public:
  using Rule = std::function<bool(const OperationCall&)>;

  explicit FailingFactory(
      Rule rule, std::unique_ptr<workbook::ApplicationFactory> inner = workbook::MakeXlsxFactory());
  ~FailingFactory() override;

  std::unique_ptr<workbook::Application> Start(std::string_view programId) override;

  // Fails every call of the operation from the nth one on.
  static Rule FailFrom(Operation operation, int nth = 1);
  // Fails only the nth call of the operation.
  static Rule FailOnce(Operation operation, int nth = 1);

  int Calls(Operation operation) const;
  // Raises the failure of the call when the rule picks it.
  void Check(Operation operation, std::string sheet = {}, int row = 0, int column = 0,
             std::string text = {});

 private:
  Rule rule_;
  std::unique_ptr<workbook::ApplicationFactory> inner_;
  std::map<Operation, int> counts_;
};

// The message of a failure that the factory raises.
std::string InjectedFailureMessage(Operation operation);

}  // namespace zelvor::test
