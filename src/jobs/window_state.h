#pragma once
// The state of the main window that the jobs share and work on directly: the pending row
// lines, the keys met in a run, the spreadsheet handles, the counters and the register
// endpoint. Plain data; the window (or the headless runner) owns one for its whole life.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace zelvor::workbook {
class Application;  // a running spreadsheet instance
class Workbook;     // a workbook open in an instance
class Worksheet;    // one sheet of a workbook
}  // namespace zelvor::workbook

namespace zelvor::reg {
class CitizenApi;  // the register's service interface
class Transport;   // the register transport the window owns (HTTPRIO3)
}  // namespace zelvor::reg

namespace zelvor::jobs {

// A plain, unsorted list of texts that allows duplicates.
using TextList = std::vector<std::string>;

// True when the list holds the text, compared without regard to letter case. The keys looked
// up are tax numbers and register reference numbers, so ASCII letters are all there is to fold.
bool ContainsText(const TextList& list, std::string_view text);

// The last line of the list, or "" for an empty list.
std::string LastLine(const TextList& list);

// A spreadsheet handle is empty, or holds a live object. A step that failed leaves it empty, and
// the next operation on an empty handle fails; that is all the jobs need to know of it.
template <class T>
using Handle = std::shared_ptr<T>;

struct WindowState {
  // Pending row lines of the result sheets.
  TextList slHeader;     // header line of the pending summary row
  TextList slValue;      // value line of the pending summary row
  TextList slHeaderDet;  // header line of the detail sheet
  TextList slValueDet;   // value lines of the detail rows

  TextList slNIP;                // tax-number keys met in the current list run
  TextList slNumerReferencyjny;  // reference numbers met in the current period run

  // Input spreadsheet instance and the first sheet of its workbook.
  Handle<workbook::Application> FXLApp;
  Handle<workbook::Worksheet> FSheet;
  bool FXLAppCreate = false;     // the input instance is open
  bool FXLAppCreateHdr = false;  // the period job started its output instance in this run

  // Output spreadsheet instance, result workbook and its sheets HDR and DET.
  Handle<workbook::Application> ExAppHDR;
  Handle<workbook::Workbook> ExWorHDR;
  Handle<workbook::Worksheet> ExSheetHDR;
  Handle<workbook::Worksheet> ExSheetHDR_2;

  // The register transport all register calls of the jobs go through, and the client the
  // list job keeps once per run for as long as the program lives.
  std::shared_ptr<reg::Transport> HTTPRIO3;
  std::shared_ptr<reg::CitizenApi> CitizenApiClient;

  bool lConnectAPI = false;              // the list job prepared the register client in this run
  std::array<std::int32_t, 10> NIP{};    // digits of the tax number under validation
  std::string sBaza;                     // register endpoint address
  std::string ExcelFileNameOut;          // full path of the result workbook of the current run
  std::int32_t nCountExcel_Dzien = 0;    // summary-row counter of the period job
  std::int32_t nCountExcel_2_Dzien = 0;  // detail-row counter of the period job
};

}  // namespace zelvor::jobs
