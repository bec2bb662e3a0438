#pragma once
// An HTTP proxy on loopback that tunnels CONNECT requests to ports of 127.0.0.1, as an office's
// proxy does for https, and records where each tunnel led.

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "support/loopback_socket.h"

namespace zelvor::test {

class ConnectProxy {
 public:
  ConnectProxy();
  ~ConnectProxy();
  ConnectProxy(const ConnectProxy&) = delete;
  ConnectProxy& operator=(const ConnectProxy&) = delete;

  // "http://127.0.0.1:PORT", as the proxy settings name it.
  std::string Url() const;
  // The "host:port" of each tunnel asked for, in order.
  std::vector<std::string> Tunnels() const;

 private:
  void Serve();
  void Tunnel(int client);

  LoopbackListener listener_;
  std::atomic<bool> done_{false};
  mutable std::mutex mutex_;
  std::vector<std::string> tunnels_;
  std::thread thread_;
};

}  // namespace zelvor::test
