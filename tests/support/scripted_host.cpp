#include "support/scripted_host.h"

#include <cstdio>
#include <stdexcept>

namespace zelvor::test {

namespace {
template <class T>
T TakeAnswer(std::deque<T>& script, const std::string& what) {
  if (script.empty()) throw std::logic_error("unscripted dialog: " + what);
  T answer = std::move(script.front());
  script.pop_front();
  return answer;
}
}  // namespace

std::vector<std::string> ScriptedHost::Texts(const std::string& kind) const {
  std::vector<std::string> texts;
  for (const Event& e : events)
    if (e.kind == kind) texts.push_back(e.text);
  return texts;
}

void ScriptedHost::Log(const std::string& line) {
  log.push_back(line);
  events.push_back({"log", line});
}

void ScriptedHost::AddOutputLine(const std::string& line) {
  output.push_back(line);
  events.push_back({"output", line});
}

void ScriptedHost::SetStatusPanel(int panel, const std::string& text) {
  panels.at(static_cast<std::size_t>(panel)) = text;
  events.push_back({"status" + std::to_string(panel), text});
}

void ScriptedHost::SetProgressLabel(const std::string& text) {
  progressLabel = text;
  events.push_back({"label", text});
}

void ScriptedHost::ProcessPendingEvents() {
  ++eventCalls;
  if (eventCalls == stopOnEventCall) SetStopBox(stopBoxToTick, true);
  if (onPendingEvents) onPendingEvents(eventCalls);
}

std::optional<std::string> ScriptedHost::PickFileToOpen() {
  return TakeAnswer(filesToOpen, "file to open");
}

std::optional<std::string> ScriptedHost::ConfirmFileToSave(const std::string& proposedPath) {
  proposedSaves.push_back(proposedPath);
  if (confirmProposedSave) return proposedPath;
  return TakeAnswer(filesToSave, "file to save " + proposedPath);
}

bool ScriptedHost::AskYesNo(const std::string& question) {
  events.push_back({"question", question});
  return TakeAnswer(answers, "question " + question);
}

std::string ScriptedHost::ShortDate(std::chrono::year_month_day day) const {
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02u-%02u", static_cast<int>(day.year()),
                static_cast<unsigned>(day.month()), static_cast<unsigned>(day.day()));
  return text;
}

}  // namespace zelvor::test
