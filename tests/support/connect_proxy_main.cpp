// The loopback CONNECT proxy as a program of its own, for tests of programs that are not ours
// to link (zelvor-cli.exe under wine): prints "proxy on http://127.0.0.1:PORT", then a line
// "tunnel HOST:PORT" for each tunnel, until SIGTERM or SIGINT.
#include <signal.h>

#include <chrono>
#include <cstdio>
#include <exception>
#include <thread>

#include "support/connect_proxy.h"

namespace {

volatile sig_atomic_t stop = 0;

void Stop(int) {
  stop = 1;
}

}  // namespace

int main() {
  struct sigaction action {};
  action.sa_handler = &Stop;
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
  try {
    zelvor::test::ConnectProxy proxy;
    std::printf("proxy on %s\n", proxy.Url().c_str());
    std::fflush(stdout);
    std::size_t reported = 0;
    while (stop == 0) {
      const auto tunnels = proxy.Tunnels();
      for (; reported < tunnels.size(); ++reported) {
        std::printf("tunnel %s\n", tunnels[reported].c_str());
      }
      std::fflush(stdout);
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
  } catch (const std::exception& error) {
    std::fprintf(stderr, "connect-proxy: %s\n", error.what());
    return 1;
  }
  return 0;
}
