#include "cli/stop_signal.h"

#include <signal.h>

#include <atomic>
#include <initializer_list>

namespace zelvor::cli {
namespace {

// Read by the calls in flight on other threads as well; a lock-free atomic is safe to set from a
// signal handler.
std::atomic<int> stopSignal = 0;
static_assert(std::atomic<int>::is_always_lock_free);

void OnStopSignal(int number) {
  int none = 0;
  stopSignal.compare_exchange_strong(none, number);
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
  return stopSignal.load() != 0;
}

int StopSignalNumber() {
  return stopSignal.load();
}

}  // namespace zelvor::cli
