#include "cli/stop_signal.h"

#include <signal.h>

#include <initializer_list>

namespace zelvor::cli {
namespace {

volatile sig_atomic_t stopSignal = 0;

void OnStopSignal(int number) {
  if (stopSignal == 0) stopSignal = number;
}

}  // namespace

void CatchStopSignal() {
  struct sigaction action {};
  action.sa_handler = &OnStopSignal;
  sigemptyset(&action.sa_mask);
  // SA_RESETHAND: the default handling is back for the second signal. SA_RESTART: a blocking
  // read or write under way goes on instead of failing.
  action.sa_flags = SA_RESETHAND | SA_RESTART;
  for (const int number : {SIGINT, SIGTERM, SIGHUP}) sigaction(number, &action, nullptr);
}

bool StopSignalled() {
  return stopSignal != 0;
}

int StopSignalNumber() {
  return stopSignal;
}

}  // namespace zelvor::cli
