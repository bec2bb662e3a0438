#pragma once
// The jobs' host without a window: log lines on standard output, messages and errors on
// standard error, dialogs answered from the command line, and Ctrl-C as the stop box.

#include <chrono>
#include <functional>
#include <optional>
#include <string>

#include "cli/console.h"
#include "cli/progress_meter.h"
#include "jobs/host.h"

namespace zelvor::cli {

struct CliHostSettings {
  std::string inputFile;        // what PickFileToOpen answers
  std::string documentsFolder;  // where the period job saves
  std::chrono::year_month_day firstDay{}, lastDay{};
  // The progress meter of the job that runs, or none.
  std::optional<ProgressMeter> meter;
  // Whether Ctrl-C arrived; the stop boxes are ticked once it says so.
  std::function<bool()> stopSignalled = [] { return false; };
};

class CliHost : public jobs::JobHost {
 public:
  CliHost(Console& console, CliHostSettings settings);

  // An error was shown: the run failed.
  bool Failed() const { return failed_; }
  // The run went to its end, but some of its records or days failed.
  bool RecordsFailed() const { return recordsFailed_; }
  // Ctrl-C stopped the run.
  bool Stopped() const { return settings_.stopSignalled(); }

  void Log(const std::string& line) override;
  void ClearLog() override {}
  void AddOutputLine(const std::string& line) override;
  void ClearOutput() override {}
  void SetStatusPanel(int, const std::string&) override {}
  void SetProgressLabel(const std::string&) override {}
  void ShowProgress(const jobs::JobProgress& progress) override;
  void SetActionRunning(jobs::Action action, bool running) override;
  void SetWaitCursor(bool) override {}
  void ProcessPendingEvents() override;
  bool StopRequested(jobs::StopBox box) const override;
  void SetStopBox(jobs::StopBox box, bool ticked) override;
  std::chrono::year_month_day PeriodFirstDay() const override { return settings_.firstDay; }
  std::chrono::year_month_day PeriodLastDay() const override { return settings_.lastDay; }
  std::vector<std::string> LookupTestLines() const override { return {}; }
  std::optional<std::string> PickFileToOpen() override { return settings_.inputFile; }
  std::optional<std::string> ConfirmFileToSave(const std::string& proposedPath) override {
    return proposedPath;
  }
  bool AskYesNo(const std::string&) override { return false; }
  void ShowMessage(const std::string& text) override;
  void ShowError(const std::string& message) override;
  void ShowRunFailures(const std::string& report, bool noneSucceeded) override;
  // Never asked for: AskYesNo answers No to the offer to open a file.
  void OpenWithApplication(const std::string&) override {}
  std::string DocumentsFolder() const override { return settings_.documentsFolder; }
  std::string ProgramFolder() const override;
  std::chrono::local_seconds Now() const override;
  std::string ShortDate(std::chrono::year_month_day day) const override;

 private:
  Console& console_;
  CliHostSettings settings_;
  bool listStop_ = false, periodStop_ = false;
  bool failed_ = false;
  bool recordsFailed_ = false;
};

}  // namespace zelvor::cli
