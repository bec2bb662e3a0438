#include "cli/stop_signal.h"

#include <signal.h>

namespace zelvor::cli {
namespace {

volatile sig_atomic_t stopSignalled = 0;

void OnSigint(int) {
  stopSignalled = 1;
}

}  // namespace

void CatchStopSignal() {
  struct sigaction action {};
  action.sa_handler = &OnSigint;
  sigemptyset(&action.sa_mask);
  // SA_RESETHAND: the default handling is back for the second Ctrl-C. SA_RESTART: a blocking
  // read or write under way goes on instead of failing.
  action.sa_flags = SA_RESETHAND | SA_RESTART;
  sigaction(SIGINT, &action, nullptr);
}

bool StopSignalled() {
  return stopSignalled != 0;
}

}  // namespace zelvor::cli
