#include "jobs/job_context.h"

namespace zelvor::jobs {

void OpenExcel(JobContext& ctx) {
  WindowState& s = ctx.state;
  s.FXLAppCreate = true;
  ctx.host.SetStatusPanel(kSpreadsheetPanel, "Open Excel Application");
  s.FXLApp = ctx.spreadsheets.Start(kSpreadsheetProgram);
  s.FXLApp->SetVisible(false);
  s.FXLApp->SetDisplayAlerts(false);
  ctx.host.SetStatusPanel(kSpreadsheetPanel, "");
}

void CloseExcel(JobContext& ctx) {
  WindowState& s = ctx.state;
  s.FXLAppCreate = false;
  ctx.host.SetStatusPanel(kSpreadsheetPanel, "Close Excel Application");
  s.FSheet = nullptr;
  if (s.FXLApp) {
    // Clear the handle even when the instance fails to quit, so the next run starts anew.
    auto instance = std::move(s.FXLApp);
    instance->SetDisplayAlerts(false);
    instance->Quit();
  }
  ctx.host.SetStatusPanel(kSpreadsheetPanel, "");
}

}  // namespace zelvor::jobs
