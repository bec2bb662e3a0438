#include "support/connect_proxy.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace zelvor::test {

ConnectProxy::ConnectProxy() : listener_(ListenOnLoopback()) {
  thread_ = std::thread([this] { Serve(); });
}

ConnectProxy::~ConnectProxy() {
  done_ = true;
  thread_.join();
  ::close(listener_.fd);
}

std::string ConnectProxy::Url() const {
  return "http://127.0.0.1:" + std::to_string(listener_.port);
}

std::vector<std::string> ConnectProxy::Tunnels() const {
  const std::lock_guard lock(mutex_);
  return tunnels_;
}

void ConnectProxy::Serve() {
  while (!done_) {
    pollfd wait{listener_.fd, POLLIN, 0};
    if (::poll(&wait, 1, 20) <= 0) continue;
    const int client = ::accept(listener_.fd, nullptr, nullptr);
    if (client < 0) continue;
    Tunnel(client);
    ::close(client);
  }
}

// One connection at a time: "CONNECT 127.0.0.1:PORT HTTP/1.1", headers, then the tunnel.
void ConnectProxy::Tunnel(int client) {
  std::string request;
  char byte = 0;
  while (request.find("\r\n\r\n") == std::string::npos && request.size() < 8192 &&
         ::recv(client, &byte, 1, 0) == 1) {
    request += byte;
  }
  const std::string prefix = "CONNECT 127.0.0.1:";
  const std::size_t end = request.find(' ', prefix.size());
  if (request.rfind(prefix, 0) != 0 || end == std::string::npos) return;  // loopback only
  const std::string target = request.substr(8, end - 8);
  {
    const std::lock_guard lock(mutex_);
    tunnels_.push_back(target);
  }
  const int server =
      ConnectToLoopback(std::stoi(request.substr(prefix.size(), end - prefix.size())));
  const std::string answer = server < 0 ? "HTTP/1.1 502 Bad Gateway\r\n\r\n"
                                        : "HTTP/1.1 200 Connection established\r\n\r\n";
  ::send(client, answer.data(), answer.size(), MSG_NOSIGNAL);
  if (server < 0) return;
  PassBothWays(client, server, done_);
  ::close(server);
}

}  // namespace zelvor::test
