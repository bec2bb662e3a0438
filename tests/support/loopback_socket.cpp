#include "support/loopback_socket.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <stdexcept>

namespace zelvor::test {
namespace {

sockaddr_in Loopback(int port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  return address;
}

}  // namespace

LoopbackListener ListenOnLoopback() {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address = Loopback(0);
  socklen_t length = sizeof address;
  if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
      ::listen(fd, 8) != 0 ||
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    if (fd >= 0) ::close(fd);
    throw std::runtime_error("cannot listen on loopback");
  }
  return {fd, ntohs(address.sin_port)};
}

int ConnectToLoopback(int port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  const sockaddr_in address = Loopback(port);
  if (fd >= 0 && ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0)
    return fd;
  if (fd >= 0) ::close(fd);
  return -1;
}

void PassBothWays(int a, int b, const std::atomic<bool>& done) {
  pollfd ends[2] = {{a, POLLIN, 0}, {b, POLLIN, 0}};
  char buffer[16384];
  while (!done) {
    if (::poll(ends, 2, 20) <= 0) continue;
    for (int i = 0; i < 2; ++i) {
      if (ends[i].revents == 0) continue;
      const ssize_t n = ::recv(ends[i].fd, buffer, sizeof buffer, 0);
      if (n <= 0 ||
          ::send(ends[1 - i].fd, buffer, static_cast<std::size_t>(n), MSG_NOSIGNAL) != n) {
        return;
      }
    }
  }
}

}  // namespace zelvor::test
