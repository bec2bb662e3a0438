#include "support/forked_child.h"

#include <unistd.h>

#include <cstdio>
#include <stdexcept>

namespace zelvor::test {

Child ForkChild(const std::function<void(int output)>& body) {
  int pipe[2];
  if (::pipe(pipe) != 0) throw std::runtime_error("pipe failed");
  std::fflush(nullptr);  // else the child would write the parent's pending output again
  const pid_t pid = ::fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    ::close(pipe[0]);
    try {
      body(pipe[1]);
    } catch (...) {
      ::_exit(1);  // never back into the parent's test run
    }
    ::_exit(0);
  }
  ::close(pipe[1]);
  return Child{pid, pipe[0]};
}

}  // namespace zelvor::test
