#include "cli/cli_host.h"

#include <ctime>
#include <filesystem>

#include "cli/process.h"
#include "jobs/output_paths.h"
#include "workbook/file_system.h"

namespace zelvor::cli {
CliHost::CliHost(Console& console, CliHostSettings settings)
    : console_(console), settings_(std::move(settings)) {}

void CliHost::Log(const std::string& line) {
  console_.Out(line);
}

void CliHost::AddOutputLine(const std::string& line) {
  console_.Out(line);
}

void CliHost::ShowProgress(const jobs::JobProgress& progress) {
  if (!settings_.meter) return;
  if (const std::optional<std::string> text =
          settings_.meter->Report(progress.done, progress.total))
    console_.Progress(*text);
}

void CliHost::SetActionRunning(jobs::Action, bool running) {
  if (!running) console_.EndProgress();
}

void CliHost::ProcessPendingEvents() {
  if (!settings_.stopSignalled()) return;
  listStop_ = true;
  periodStop_ = true;
}

// Ctrl-C counts even where the job reads its stop box without letting events through first
// (between the days of the period job).
bool CliHost::StopRequested(jobs::StopBox box) const {
  return (box == jobs::StopBox::NipList ? listStop_ : periodStop_) || settings_.stopSignalled();
}

void CliHost::SetStopBox(jobs::StopBox box, bool ticked) {
  (box == jobs::StopBox::NipList ? listStop_ : periodStop_) = ticked;
}

void CliHost::ShowMessage(const std::string& text) {
  console_.Err(text);
}

void CliHost::ShowError(const std::string& message) {
  failed_ = true;
  console_.Err("zelvor-cli: " + message);
}

void CliHost::ShowRunFailures(const std::string& report, bool) {
  recordsFailed_ = true;
  console_.Err("zelvor-cli: " + report);
}

std::string CliHost::ProgramFolder() const {
  const std::filesystem::path program = ProgramFile();
  return workbook::files::Utf8(program.empty() ? std::filesystem::current_path()
                                               : program.parent_path());
}

std::chrono::local_seconds CliHost::Now() const {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  workbook::files::LocalTime(now, local);
  const std::chrono::year_month_day day{std::chrono::year{local.tm_year + 1900},
                                        std::chrono::month{static_cast<unsigned>(local.tm_mon + 1)},
                                        std::chrono::day{static_cast<unsigned>(local.tm_mday)}};
  return std::chrono::local_days{day} + std::chrono::hours{local.tm_hour} +
         std::chrono::minutes{local.tm_min} + std::chrono::seconds{local.tm_sec};
}

std::string CliHost::ShortDate(std::chrono::year_month_day day) const {
  return jobs::FormatDay(day);
}

}  // namespace zelvor::cli
