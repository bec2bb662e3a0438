#pragma once
// The host a job sees while it runs on the window's worker thread: every call is made by the
// window on its own thread while the job waits for the answer, so the jobs never learn of threads.

#include "app/window_calls.h"
#include "jobs/host.h"

namespace zelvor::app {

class WorkerHost : public jobs::JobHost {
 public:
  WorkerHost(jobs::JobHost& window, WindowCalls& calls) : window_(window), calls_(calls) {}

  void Log(const std::string& line) override;
  void ClearLog() override;
  void AddOutputLine(const std::string& line) override;
  void ClearOutput() override;
  void SetStatusPanel(int panel, const std::string& text) override;
  void SetProgressLabel(const std::string& text) override;
  void ShowProgress(const jobs::JobProgress& progress) override;
  void SetActionRunning(jobs::Action action, bool running) override;
  void SetWaitCursor(bool waiting) override;
  // The window handles its events by itself while the job runs.
  void ProcessPendingEvents() override {}
  bool StopRequested(jobs::StopBox box) const override;
  void SetStopBox(jobs::StopBox box, bool ticked) override;
  std::chrono::year_month_day PeriodFirstDay() const override;
  std::chrono::year_month_day PeriodLastDay() const override;
  std::vector<std::string> LookupTestLines() const override;
  std::optional<std::string> PickFileToOpen() override;
  std::optional<std::string> ConfirmFileToSave(const std::string& proposedPath) override;
  bool AskYesNo(const std::string& question) override;
  void ShowMessage(const std::string& text) override;
  void ShowError(const std::string& message) override;
  void ShowRunFailures(const std::string& report, bool noneSucceeded) override;
  void OpenWithApplication(const std::string& path) override;
  std::string DocumentsFolder() const override;
  std::string ProgramFolder() const override;
  std::chrono::local_seconds Now() const override;
  std::string ShortDate(std::chrono::year_month_day day) const override;

 private:
  jobs::JobHost& window_;
  WindowCalls& calls_;
};

}  // namespace zelvor::app
