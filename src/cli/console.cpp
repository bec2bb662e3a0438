#include "cli/console.h"

#include <unistd.h>

namespace zelvor::cli {
namespace {

void WriteLine(std::FILE* stream, std::string_view line) {
  std::fwrite(line.data(), 1, line.size(), stream);
  std::fputc('\n', stream);
  std::fflush(stream);
}

}  // namespace

Console::Console(std::FILE* out, std::FILE* err, bool drawProgress, bool outIsTerminal)
    : out_(out), err_(err), drawProgress_(drawProgress), outIsTerminal_(outIsTerminal) {}

Console Console::Standard(bool progressWanted) {
  return Console(stdout, stderr, progressWanted && isatty(STDERR_FILENO) == 1,
                 isatty(STDOUT_FILENO) == 1);
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
  std::fputs(line.c_str(), err_);
  std::fflush(err_);
  shown_ = text;
}

void Console::EndProgress() {
  Wipe();
}

void Console::Wipe() {
  if (shown_.empty()) return;
  // Blanks over the old text, then back to the start of the line.
  std::fprintf(err_, "\r%s\r", std::string(shown_.size(), ' ').c_str());
  std::fflush(err_);
  shown_.clear();
}

void Console::Draw() {
  if (shown_.empty()) return;
  std::fprintf(err_, "\r%s", shown_.c_str());
  std::fflush(err_);
}

}  // namespace zelvor::cli
