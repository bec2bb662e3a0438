#pragma once
// A host for running jobs in tests: it records everything a job shows and answers every
// dialog from a script. A dialog the script did not foresee fails the test with an exception.

#include <array>
#include <chrono>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "jobs/host.h"

namespace zelvor::test {

class ScriptedHost : public jobs::JobHost {
 public:
  // One entry per thing shown, in order, e.g. {"log", "Data=2024-01-02"}; the kinds are
  // log, output, status1 (panel number appended), label, message, error, question, open.
  struct Event {
    std::string kind;
    std::string text;
    bool operator==(const Event&) const = default;
  };

  // --- the script ---------------------------------------------------------------------
  std::deque<std::optional<std::string>> filesToOpen;  // answers of PickFileToOpen
  std::deque<std::optional<std::string>> filesToSave;  // answers of ConfirmFileToSave
  std::deque<bool> answers;                            // answers of AskYesNo
  // When set, ConfirmFileToSave confirms the proposed path without using filesToSave.
  bool confirmProposedSave = false;
  // Ticks the stop box on the given call of ProcessPendingEvents (counted from 1); 0: never.
  int stopOnEventCall = 0;
  jobs::StopBox stopBoxToTick = jobs::StopBox::Period;
  // Called on every ProcessPendingEvents, after the stop box rule, with the call's number.
  std::function<void(int)> onPendingEvents;

  std::chrono::year_month_day firstDay{};
  std::chrono::year_month_day lastDay{};
  std::vector<std::string> lookupLines;
  std::string documentsFolder = "/home/user/Documents";
  std::string programFolder = "/opt/zelvor";
  std::chrono::local_seconds now{};

  // --- what the job did ---------------------------------------------------------------
  std::vector<Event> events;
  std::vector<std::string> log;     // mLog1 as it stands
  std::vector<std::string> output;  // mOutput as it stands
  std::array<std::string, 4> panels;
  std::string progressLabel;
  std::vector<jobs::JobProgress> progress;  // every report, in order
  std::map<jobs::Action, bool> running;
  int waitCursorDepth = 0;
  int eventCalls = 0;
  std::array<bool, 2> stopBoxes{};
  std::vector<std::string> proposedSaves;

  // Texts of the events of one kind, in order.
  std::vector<std::string> Texts(const std::string& kind) const;

  // --- JobHost ------------------------------------------------------------------------
  void Log(const std::string& line) override;
  void ClearLog() override { log.clear(); }
  void AddOutputLine(const std::string& line) override;
  void ClearOutput() override { output.clear(); }
  void SetStatusPanel(int panel, const std::string& text) override;
  void SetProgressLabel(const std::string& text) override;
  void ShowProgress(const jobs::JobProgress& report) override { progress.push_back(report); }
  void SetActionRunning(jobs::Action action, bool isRunning) override {
    running[action] = isRunning;
  }
  void SetWaitCursor(bool waiting) override { waitCursorDepth += waiting ? 1 : -1; }
  void ProcessPendingEvents() override;
  bool StopRequested(jobs::StopBox box) const override { return stopBoxes[Index(box)]; }
  void SetStopBox(jobs::StopBox box, bool ticked) override { stopBoxes[Index(box)] = ticked; }
  std::chrono::year_month_day PeriodFirstDay() const override { return firstDay; }
  std::chrono::year_month_day PeriodLastDay() const override { return lastDay; }
  std::vector<std::string> LookupTestLines() const override { return lookupLines; }
  std::optional<std::string> PickFileToOpen() override;
  std::optional<std::string> ConfirmFileToSave(const std::string& proposedPath) override;
  bool AskYesNo(const std::string& question) override;
  void ShowMessage(const std::string& text) override { events.push_back({"message", text}); }
  void ShowError(const std::string& message) override { events.push_back({"error", message}); }
  // "run-warning" or "run-error", as the window chooses its box.
  void ShowRunFailures(const std::string& report, bool noneSucceeded) override {
    events.push_back({noneSucceeded ? "run-error" : "run-warning", report});
  }
  void OpenWithApplication(const std::string& path) override { events.push_back({"open", path}); }
  std::string DocumentsFolder() const override { return documentsFolder; }
  std::string ProgramFolder() const override { return programFolder; }
  std::chrono::local_seconds Now() const override { return now; }
  // ISO dates, so that tests do not depend on the machine's regional settings.
  std::string ShortDate(std::chrono::year_month_day day) const override;

 private:
  static std::size_t Index(jobs::StopBox box) { return box == jobs::StopBox::NipList ? 0 : 1; }
};

}  // namespace zelvor::test
