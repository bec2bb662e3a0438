#pragma once
// Standard output and standard error of the runner, with the progress line kept at the bottom
// of the terminal: it is wiped before any other text reaches the terminal and drawn again after
// a log line.

#include <cstdio>
#include <string>
#include <string_view>

namespace zelvor::cli {

class Console {
 public:
  // drawProgress: whether a progress line may be drawn at all (stderr is a terminal and the
  // user did not say --no-progress).
  Console(std::FILE* out, std::FILE* err, bool drawProgress, bool outIsTerminal);
  // The terminal's own streams; stdout and stderr are tested for being terminals.
  static Console Standard(bool progressWanted);

  // One line on standard output, flushed at once.
  void Out(std::string_view line);
  // One line on standard error.
  void Err(std::string_view line);

  // Replaces the progress line with text.
  void Progress(std::string_view text);
  // Wipes the progress line for good, e.g. at the end of a run.
  void EndProgress();

 private:
  void Wipe();
  void Draw();

  std::FILE* out_;
  std::FILE* err_;
  bool drawProgress_;
  bool outIsTerminal_;
  std::string shown_;  // the progress text on screen, "" when none
};

}  // namespace zelvor::cli
