#pragma once
// A simulator started as a child process: it is running and listening once the
// constructor returns, and it is stopped (SIGTERM, then SIGKILL) by Stop or the destructor.

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

namespace zelvor::test {

// Paths of the simulators built with this tree.
std::string RegisterSimPath();
std::string ViesSimPath();

class SimProcess {
 public:
  // Starts binary with args and waits for its "listening on URL" line. Throws
  // std::runtime_error when it exits or stays silent instead.
  SimProcess(const std::string& binary, const std::vector<std::string>& args,
             std::chrono::milliseconds startTimeout = std::chrono::seconds(10));
  ~SimProcess();
  SimProcess(const SimProcess&) = delete;
  SimProcess& operator=(const SimProcess&) = delete;

  // The endpoint as printed, e.g. "https://127.0.0.1:40123/CitizenApi.svc".
  const std::string& Url() const { return url_; }
  // Scheme, host and port, e.g. "https://127.0.0.1:40123".
  std::string Origin() const;
  int Port() const;
  pid_t Pid() const { return pid_; }

  // Sends signal (SIGTERM by default) and waits; returns the exit code, or 128 + the
  // signal that ended it. Later calls return the same result.
  int Stop(int signal = 15, std::chrono::milliseconds grace = std::chrono::seconds(5));

 private:
  pid_t pid_ = -1;
  int output_ = -1;  // read end of the child's standard output
  std::string url_;
  int status_ = -1;
};

}  // namespace zelvor::test
