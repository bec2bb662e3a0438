#pragma once
// A forked child process for tests of what happens when a process dies part way (POSIX only).

#include <sys/types.h>

#include <functional>

namespace zelvor::test {

// A forked process that runs `body` and ends when it returns; what `body` writes to the file
// descriptor it is given, the parent reads from `output`.
struct Child {
  pid_t pid = -1;
  int output = -1;
};
Child ForkChild(const std::function<void(int output)>& body);

}  // namespace zelvor::test
