#pragma once
// What every job works with: the window's state, the host that shows and asks, and the
// spreadsheet component that opens and writes workbooks.

#include <functional>
#include <memory>

#include "jobs/host.h"
#include "jobs/window_state.h"
#include "register/citizen_api.h"
#include "workbook/spreadsheet.h"

namespace zelvor::jobs {

struct JobContext {
  WindowState& state;
  JobHost& host;
  workbook::ApplicationFactory& spreadsheets;
  // Replaces the register interface of HTTPRIO3 when set: a register whose answers a test
  // writes itself.
  std::function<std::unique_ptr<reg::CitizenApi>()> registerOverride = {};

  // The register interface of HTTPRIO3, obtained anew right before each call.
  std::unique_ptr<reg::CitizenApi> Register() {
    return registerOverride ? registerOverride() : state.HTTPRIO3->As<reg::CitizenApi>();
  }
};

// The program identifier under which the spreadsheet component is started.
inline constexpr const char* kSpreadsheetProgram = "Excel.Application";

// Starts the hidden input instance into FXLApp and shows it in the status bar meanwhile.
void OpenExcel(JobContext& ctx);
// Quits the input instance and clears FXLApp and FSheet.
void CloseExcel(JobContext& ctx);

}  // namespace zelvor::jobs
