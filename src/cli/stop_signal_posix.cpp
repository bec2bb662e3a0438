#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <initializer_list>

#include "cli/stop_signal.h"
#include "workbook/saves_in_progress.h"

namespace zelvor::cli {
namespace {

// Read by the calls in flight on other threads as well; a lock-free atomic is safe to set from a
// signal handler.
std::atomic<int> stopSignal = 0;
std::atomic<int> signalsReceived = 0;
static_assert(std::atomic<int>::is_always_lock_free);

constexpr char kWaitForSaves[] =
    "zelvor-cli: przerywam i zapisuję oba skoroszyty, proszę czekać. Trzecie Ctrl-C zakończy "
    "program natychmiast, bez zapisania wierszy od ostatniego zapisu.\n";

void OnStopSignal(int number) {
  int none = 0;
  stopSignal.compare_exchange_strong(none, number);
  const int received = signalsReceived.fetch_add(1) + 1;
  if (received == 2) {
    (void)!::write(STDERR_FILENO, kWaitForSaves, sizeof kWaitForSaves - 1);
  } else if (received >= 3) {
    // Ended at once, as asked, but without a half-written file left behind.
    workbook::RemoveSavesInProgress();
    ::signal(number, SIG_DFL);
    ::raise(number);
  }
}

}  // namespace

void CatchStopSignal() {
  struct sigaction action {};
  action.sa_handler = &OnStopSignal;
  sigemptyset(&action.sa_mask);
  for (const int number : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&action.sa_mask, number);
  // SA_RESTART: a blocking read or write under way goes on instead of failing.
  action.sa_flags = SA_RESTART;
  for (const int number : {SIGINT, SIGTERM, SIGHUP}) sigaction(number, &action, nullptr);
}

bool StopSignalled() {
  return stopSignal.load() != 0;
}

int StopSignalNumber() {
  return stopSignal.load();
}

}  // namespace zelvor::cli
