#include "app/worker_host.h"

namespace zelvor::app {

void WorkerHost::Log(const std::string& line) {
  calls_.Run([&] { window_.Log(line); });
}

void WorkerHost::ClearLog() {
  calls_.Run([&] { window_.ClearLog(); });
}

void WorkerHost::AddOutputLine(const std::string& line) {
  calls_.Run([&] { window_.AddOutputLine(line); });
}

void WorkerHost::ClearOutput() {
  calls_.Run([&] { window_.ClearOutput(); });
}

void WorkerHost::SetStatusPanel(int panel, const std::string& text) {
  calls_.Run([&] { window_.SetStatusPanel(panel, text); });
}

void WorkerHost::SetProgressLabel(const std::string& text) {
  calls_.Run([&] { window_.SetProgressLabel(text); });
}

void WorkerHost::ShowProgress(const jobs::JobProgress& progress) {
  calls_.Run([&] { window_.ShowProgress(progress); });
}

void WorkerHost::SetActionRunning(jobs::Action action, bool running) {
  calls_.Run([&] { window_.SetActionRunning(action, running); });
}

void WorkerHost::SetWaitCursor(bool waiting) {
  calls_.Run([&] { window_.SetWaitCursor(waiting); });
}

bool WorkerHost::StopRequested(jobs::StopBox box) const {
  return calls_.Get([&] { return window_.StopRequested(box); });
}

void WorkerHost::SetStopBox(jobs::StopBox box, bool ticked) {
  calls_.Run([&] { window_.SetStopBox(box, ticked); });
}

std::chrono::year_month_day WorkerHost::PeriodFirstDay() const {
  return calls_.Get([&] { return window_.PeriodFirstDay(); });
}

std::chrono::year_month_day WorkerHost::PeriodLastDay() const {
  return calls_.Get([&] { return window_.PeriodLastDay(); });
}

std::vector<std::string> WorkerHost::LookupTestLines() const {
  return calls_.Get([&] { return window_.LookupTestLines(); });
}

std::optional<std::string> WorkerHost::PickFileToOpen() {
  return calls_.Get([&] { return window_.PickFileToOpen(); });
}

std::optional<std::string> WorkerHost::ConfirmFileToSave(const std::string& proposedPath) {
  return calls_.Get([&] { return window_.ConfirmFileToSave(proposedPath); });
}

bool WorkerHost::AskYesNo(const std::string& question) {
  return calls_.Get([&] { return window_.AskYesNo(question); });
}

void WorkerHost::ShowMessage(const std::string& text) {
  calls_.Run([&] { window_.ShowMessage(text); });
}

void WorkerHost::ShowError(const std::string& message) {
  calls_.Run([&] { window_.ShowError(message); });
}

void WorkerHost::ShowRunFailures(const std::string& report, bool noneSucceeded) {
  calls_.Run([&] { window_.ShowRunFailures(report, noneSucceeded); });
}

void WorkerHost::OpenWithApplication(const std::string& path) {
  calls_.Run([&] { window_.OpenWithApplication(path); });
}

std::string WorkerHost::DocumentsFolder() const {
  return calls_.Get([&] { return window_.DocumentsFolder(); });
}

std::string WorkerHost::ProgramFolder() const {
  return calls_.Get([&] { return window_.ProgramFolder(); });
}

std::chrono::local_seconds WorkerHost::Now() const {
  return calls_.Get([&] { return window_.Now(); });
}

std::string WorkerHost::ShortDate(std::chrono::year_month_day day) const {
  return calls_.Get([&] { return window_.ShortDate(day); });
}

}  // namespace zelvor::app
