#include "support/cli_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <sstream>
#include <stdexcept>

extern char** environ;

namespace zelvor::test {
namespace {

struct Pipe {
  int read = -1, write = -1;
  Pipe() {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) throw std::runtime_error(std::strerror(errno));
    read = fds[0];
    write = fds[1];
  }
  ~Pipe() {
    if (read >= 0) close(read);
    if (write >= 0) close(write);
  }
  void CloseWrite() {
    close(write);
    write = -1;
  }
};

}  // namespace

std::string CliPath() {
  return ZELVOR_CLI;
}

CliRun RunCli(const std::vector<std::string>& args, const CliRunOptions& options) {
  Pipe out, err;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out.write, STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(&actions, err.write, STDERR_FILENO);
  // The child starts with the stop signals unblocked and handled by default, whatever the test
  // runner's.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t none, interrupt;
  sigemptyset(&none);
  sigemptyset(&interrupt);
  for (const int number : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&interrupt, number);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setsigdefault(&attributes, &interrupt);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

  const std::string binary = CliPath();
  std::vector<std::string> argvText{binary};
  argvText.insert(argvText.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& arg : argvText) argv.push_back(arg.data());
  argv.push_back(nullptr);
  pid_t pid = -1;
  const int rc = posix_spawn(&pid, binary.c_str(), &actions, &attributes, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  if (rc != 0) throw std::runtime_error("cannot start " + binary + ": " + std::strerror(rc));
  out.CloseWrite();
  err.CloseWrite();

  CliRun run;
  int signalsSent = 0;
  std::chrono::steady_clock::time_point nextSignal{};
  const auto deadline = std::chrono::steady_clock::now() + options.timeout;
  pollfd fds[2] = {{out.read, POLLIN, 0}, {err.read, POLLIN, 0}};
  std::string* texts[2] = {&run.out, &run.err};
  int open = 2;
  while (open > 0 && std::chrono::steady_clock::now() < deadline) {
    if (poll(fds, 2, signalsSent > 0 ? 10 : 100) < 0 && errno != EINTR) break;
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || fds[i].revents == 0) continue;
      char buffer[4096];
      const ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
      if (n <= 0) {
        fds[i].fd = -1;
        --open;
        continue;
      }
      texts[i]->append(buffer, static_cast<std::size_t>(n));
    }
    // Asked after each read and at least every 100 ms: it may watch the simulator too.
    if (signalsSent == 0 && options.interruptWhen && options.interruptWhen(run.out)) {
      kill(pid, options.signal);
      ++signalsSent;
      nextSignal = std::chrono::steady_clock::now() + options.repeatAfter;
    } else if (signalsSent > 0 && signalsSent < options.times &&
               std::chrono::steady_clock::now() >= nextSignal) {
      kill(pid, options.signal);
      ++signalsSent;
      nextSignal = std::chrono::steady_clock::now() + options.repeatAfter;
    }
  }
  if (open > 0) kill(pid, SIGKILL);
  int status = 0;
  waitpid(pid, &status, 0);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return run;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::string Reported(const std::string& out, const std::string& label) {
  for (const std::string& line : Lines(out))
    if (line.starts_with(label + ": ")) return line.substr(label.size() + 2);
  return "";
}

}  // namespace zelvor::test
