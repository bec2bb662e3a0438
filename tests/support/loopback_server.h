#pragma once
// An HTTP server on 127.0.0.1 with a free port, running on its own thread for one test.

#include <httplib.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>

namespace zelvor::test {

class LoopbackServer {
 public:
  explicit LoopbackServer(std::unique_ptr<httplib::Server> server = nullptr, bool tls = false)
      : server_(server ? std::move(server) : std::make_unique<httplib::Server>()), tls_(tls) {
    // Without it a small answer waits for the client's delayed acknowledgement.
    server_->set_tcp_nodelay(true);
  }
  ~LoopbackServer() { Stop(); }
  LoopbackServer(const LoopbackServer&) = delete;
  LoopbackServer& operator=(const LoopbackServer&) = delete;

  httplib::Server& Http() { return *server_; }

  // Call after the routes are set.
  void Start() {
    port_ = server_->bind_to_any_port("127.0.0.1");
    thread_ = std::thread([this] { server_->listen_after_bind(); });
    while (!server_->is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  void Stop() {
    if (!thread_.joinable()) return;
    server_->stop();
    thread_.join();
  }

  int Port() const { return port_; }
  std::string Url(const std::string& path) const {
    return std::string(tls_ ? "https" : "http") + "://127.0.0.1:" + std::to_string(port_) + path;
  }

 private:
  std::unique_ptr<httplib::Server> server_;
  bool tls_;
  int port_ = 0;
  std::thread thread_;
};

}  // namespace zelvor::test
