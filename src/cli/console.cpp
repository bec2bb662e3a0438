#include "cli/console.h"

#include "cli/terminal.h"

namespace zelvor::cli {
namespace {

void WriteLine(std::FILE* stream, std::string_view line) {
  WriteText(stream, std::string(line) + '\n');
}

}  // namespace

Console::Console(std::FILE* out, std::FILE* err, bool drawProgress, bool outIsTerminal)
    : out_(out), err_(err), drawProgress_(drawProgress), outIsTerminal_(outIsTerminal) {}

Console Console::Standard(bool progressWanted) {
  return Console(stdout, stderr, progressWanted && IsTerminal(stderr), IsTerminal(stdout));
}

void Console::Out(std::string_view line) {
  // Only a terminal shared with the progress line needs it out of the way.
  const bool shared = outIsTerminal_ && !shown_.empty();
  const std::string text = shown_;
  if (shared) Wipe();
  WriteLine(out_, line);
  if (shared) {
    shown_ = text;
    Draw();
  }
}

void Console::Err(std::string_view line) {
  Wipe();
  WriteLine(err_, line);
}

void Console::Progress(std::string_view text) {
  if (!drawProgress_) return;
  // Over the old text in place; blanks cover what a shorter text leaves of it.
  std::string line = "\r" + std::string(text);
  if (shown_.size() > text.size()) line.append(shown_.size() - text.size(), ' ');
  WriteText(err_, line);
  shown_ = text;
}

void Console::EndProgress() {
  Wipe();
}

void Console::Wipe() {
  if (shown_.empty()) return;
  // Blanks over the old text, then back to the start of the line.
  WriteText(err_, "\r" + std::string(shown_.size(), ' ') + "\r");
  shown_.clear();
}

void Console::Draw() {
  if (shown_.empty()) return;
  WriteText(err_, "\r" + shown_);
}

}  // namespace zelvor::cli
