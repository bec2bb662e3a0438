#pragma once
// The state the jobs share and work on directly: the pending rows, the keys met in a run, the
// spreadsheet handles, the row counters and the register transport. The window (or the headless
// runner) owns one for its whole life.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>

#include "jobs/nip_validation.h"
#include "report/pending_rows.h"
#include "report/result_workbook.h"
#include "soap/http_transport.h"
#include "workbook/spreadsheet.h"

namespace zelvor::jobs {

// The keys met in a run: tax numbers or register reference numbers, compared without regard to
// letter case. ASCII letters are all those keys hold, so ASCII is all that is folded. A set, so
// that a run of 100,000 numbers does not spend its time comparing keys.
class KeySet {
 public:
  // Adds the key; false when an equal key was met before.
  bool Insert(std::string_view key);
  bool Contains(std::string_view key) const;
  bool empty() const { return folded_.empty(); }
  void clear() { folded_.clear(); }

 private:
  std::unordered_set<std::string> folded_;
};

struct RunState {
  report::PendingRows rows;       // the record's rows not yet written
  report::ResultWorkbook result;  // the output instance and its workbook and sheets
  KeySet taxNumbersSeen;          // tax-number keys met in the current list run
  KeySet referenceNumbersSeen;    // reference numbers met in the current period run

  // Input spreadsheet instance and the first sheet of its workbook.
  std::unique_ptr<workbook::Application> inputSpreadsheet;
  workbook::Sheet* inputSheet = nullptr;
  bool inputSpreadsheetOpen = false;  // the input instance is open
  bool periodResultStarted = false;   // the period job started its output instance in this run

  // The register transport all register calls of the jobs go through.
  std::shared_ptr<soap::HttpTransport> registerTransport;
  // How many records the batch jobs may look up at once, each on a connection of its own, and
  // how a connection like registerTransport is opened for them. With 1, every call goes through
  // registerTransport, one after the other.
  int registerConnections = 1;
  std::function<std::unique_ptr<soap::HttpTransport>()> openRegisterConnection;

  // The list job's input is already a copy made for the run (zelvor-cli --output), so the
  // user's own columns need no copy of their own.
  bool inputIsWorkingCopy = false;

  std::string registerAddress;        // register endpoint address
  std::string resultPath;             // full path of the result workbook of the current run
  std::int32_t periodSummaryRow = 1;  // the period job's last summary row written (1: header)
  std::int32_t periodDetailRow = 1;   // the period job's last detail row written (1: header)
};

}  // namespace zelvor::jobs
