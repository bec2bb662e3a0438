#include "jobs/job_context.h"

namespace zelvor::jobs {

bool WaitUnlessStopped(std::chrono::milliseconds delay, const std::function<bool()>& stopped) {
  // Asked every 50 ms: a stop acts as fast as on a call in flight.
  constexpr std::chrono::milliseconds kStep{50};
  const auto end = std::chrono::steady_clock::now() + delay;
  for (auto now = std::chrono::steady_clock::now(); now < end;
       now = std::chrono::steady_clock::now()) {
    if (stopped()) return false;
    std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(kStep, end - now));
  }
  return !stopped();
}

void OpenInputSpreadsheet(JobContext& ctx) {
  RunState& s = ctx.state;
  s.inputSpreadsheetOpen = true;
  ctx.host.SetStatusPanel(kSpreadsheetPanel, "Open Excel Application");
  s.inputSpreadsheet = ctx.spreadsheets.Start(workbook::kXlsxComponent);
  ctx.host.SetStatusPanel(kSpreadsheetPanel, "");
}

void CloseInputSpreadsheet(JobContext& ctx) {
  RunState& s = ctx.state;
  s.inputSpreadsheetOpen = false;
  ctx.host.SetStatusPanel(kSpreadsheetPanel, "Close Excel Application");
  s.inputSheet = nullptr;
  if (s.inputSpreadsheet) {
    // Clear the handle even when the instance fails to quit, so the next run starts anew.
    const auto instance = std::move(s.inputSpreadsheet);
    instance->Quit();
  }
  ctx.host.SetStatusPanel(kSpreadsheetPanel, "");
}

}  // namespace zelvor::jobs
