#pragma once
// Plain TCP sockets on 127.0.0.1 for tests that play a server or a network fault by hand.

#include <atomic>

namespace zelvor::test {

// A listening socket on a free port of 127.0.0.1, and its port. Throws std::runtime_error.
struct LoopbackListener {
  int fd = -1;
  int port = 0;
};
LoopbackListener ListenOnLoopback();

// A socket connected to 127.0.0.1:port, or -1.
int ConnectToLoopback(int port);

// Copies bytes both ways between two connected sockets until either side closes or `done`.
void PassBothWays(int a, int b, const std::atomic<bool>& done);

}  // namespace zelvor::test
