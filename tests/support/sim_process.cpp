#include "support/sim_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <thread>

namespace zelvor::test {
namespace {

constexpr std::string_view kBanner = "listening on ";

// Waits for the child without blocking longer than grace; true when it has ended.
bool Reap(pid_t pid, int& status, std::chrono::milliseconds grace) {
  const auto deadline = std::chrono::steady_clock::now() + grace;
  for (;;) {
    const pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == pid || (done < 0 && errno == ECHILD)) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

int ExitCode(int status) {
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return -1;
}

}  // namespace

std::string RegisterSimPath() {
#ifdef ZELVOR_REGISTER_SIM
  return ZELVOR_REGISTER_SIM;
#else
  throw std::runtime_error("register-sim is not part of this build");
#endif
}

std::string ViesSimPath() {
#ifdef ZELVOR_VIES_SIM
  return ZELVOR_VIES_SIM;
#else
  throw std::runtime_error("vies-sim is not part of this build");
#endif
}

SimProcess::SimProcess(const std::string& binary, const std::vector<std::string>& args,
                       std::chrono::milliseconds startTimeout) {
  int pipeFds[2];
  if (pipe2(pipeFds, O_CLOEXEC) != 0)
    throw std::runtime_error("pipe: " + std::string(std::strerror(errno)));
  output_ = pipeFds[0];

  std::vector<std::string> argvStrings{binary};
  argvStrings.insert(argvStrings.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (auto& s : argvStrings) argv.push_back(s.data());
  argv.push_back(nullptr);
  const pid_t parent = getpid();
  pid_ = fork();
  if (pid_ == 0) {
    // A test that crashes must not leave its simulator serving and holding the test's output
    // open, or the run that waits for that output never ends.
    if (prctl(PR_SET_PDEATHSIG, SIGKILL) != 0 || getppid() != parent) _exit(127);
    if (dup2(pipeFds[1], STDOUT_FILENO) < 0) _exit(127);
    execv(binary.c_str(), argv.data());
    _exit(127);
  }
  const int spawnError = pid_ < 0 ? errno : 0;
  close(pipeFds[1]);
  if (pid_ < 0) {
    close(output_);
    throw std::runtime_error("cannot start " + binary + ": " + std::strerror(spawnError));
  }

  std::string line;
  const auto deadline = std::chrono::steady_clock::now() + startTimeout;
  while (line.find('\n') == std::string::npos) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    pollfd fd{output_, POLLIN, 0};
    char buffer[512];
    ssize_t n = 0;
    if (left.count() <= 0 || poll(&fd, 1, static_cast<int>(left.count())) <= 0 ||
        (n = read(output_, buffer, sizeof buffer)) <= 0) {
      const int code = Stop();
      throw std::runtime_error(binary + " did not report its address (exit " +
                               std::to_string(code) + ")");
    }
    line.append(buffer, static_cast<std::size_t>(n));
  }
  line.resize(line.find('\n'));
  if (!line.starts_with(kBanner)) {
    Stop();
    throw std::runtime_error(binary + " printed '" + line + "'");
  }
  url_ = line.substr(kBanner.size());
}

SimProcess::~SimProcess() {
  Stop();
}

std::string SimProcess::Origin() const {
  const auto scheme = url_.find("://");
  return url_.substr(0, url_.find('/', scheme + 3));
}

int SimProcess::Port() const {
  const std::string origin = Origin();
  return std::stoi(origin.substr(origin.rfind(':') + 1));
}

int SimProcess::Stop(int signal, std::chrono::milliseconds grace) {
  if (pid_ > 0) {
    int status = 0;
    kill(pid_, signal);
    if (!Reap(pid_, status, grace)) {
      kill(pid_, SIGKILL);
      Reap(pid_, status, std::chrono::seconds(5));
    }
    status_ = ExitCode(status);
    pid_ = -1;
  }
  if (output_ >= 0) {
    close(output_);
    output_ = -1;
  }
  return status_;
}

}  // namespace zelvor::test
