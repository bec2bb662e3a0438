#pragma once
// The state of the main window that the jobs share and work on directly: the pending rows, the
// keys met in a run, the spreadsheet handles, the counters and the register transport. The window
// (or the headless runner) owns one for its whole life.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "jobs/nip_validation.h"
#include "register/citizen_api_factory.h"
#include "report/pending_rows.h"
#include "report/result_workbook.h"
#include "soap/http_transport.h"
#include "workbook/spreadsheet.h"

namespace zelvor::jobs {

// A plain, unsorted list of texts that allows duplicates.
using TextList = std::vector<std::string>;

// True when the list holds the text, compared without regard to letter case. The keys looked
// up are tax numbers and register reference numbers, so ASCII letters are all there is to fold.
bool ContainsText(const TextList& list, std::string_view text);

// The last line of the list, or "" for an empty list.
std::string LastLine(const TextList& list);

// The pending rows and the output instance (ExAppHDR, ExWorHDR, ExSheetHDR, ExSheetHDR_2) are
// the window's own fields.
struct WindowState : report::PendingRows, report::ResultWorkbook {
  TextList slNIP;                // tax-number keys met in the current list run
  TextList slNumerReferencyjny;  // reference numbers met in the current period run

  // Input spreadsheet instance and the first sheet of its workbook.
  std::unique_ptr<workbook::Application> FXLApp;
  workbook::Sheet* FSheet = nullptr;
  bool FXLAppCreate = false;     // the input instance is open
  bool FXLAppCreateHdr = false;  // the period job started its output instance in this run

  // The register transport all register calls of the jobs go through.
  std::shared_ptr<soap::HttpTransport> registerTransport;

  bool lConnectAPI = false;              // the list job prepared the register client in this run
  std::string sBaza;                     // register endpoint address
  std::string ExcelFileNameOut;          // full path of the result workbook of the current run
  std::int32_t nCountExcel_Dzien = 1;    // summary-row counter of the period job
  std::int32_t nCountExcel_2_Dzien = 1;  // detail-row counter of the period job
};

}  // namespace zelvor::jobs
