#pragma once
// zelvor-cli run as a child process, its output collected and its exit status returned.

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace zelvor::test {

// The zelvor-cli built with this tree.
std::string CliPath();

struct CliRun {
  int status = -1;  // exit status, or 128 + the signal that ended it
  std::string out, err;
};

struct CliRunOptions {
  // Looked at each time standard output grows; returning true sends `signal` once.
  std::function<bool(const std::string& out)> interruptWhen = {};
  int signal = 2;  // SIGINT
  // How many times the signal is sent, `repeatAfter` apart, while the child runs.
  int times = 1;
  std::chrono::milliseconds repeatAfter{50};
  // The child is killed after this long.
  std::chrono::seconds timeout{120};
};

CliRun RunCli(const std::vector<std::string>& args, const CliRunOptions& options = {});

// The output's lines, and the path after "label: " on its own line ("" when there is none).
std::vector<std::string> Lines(const std::string& text);
std::string Reported(const std::string& out, const std::string& label);

}  // namespace zelvor::test
