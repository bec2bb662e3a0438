#include <windows.h>

#include <atomic>

#include "cli/stop_signal.h"
#include "cli/windows_console.h"
#include "workbook/saves_in_progress.h"

namespace zelvor::cli {
namespace {

// The POSIX numbers of the signals of the same meaning, for the exit status 128 + number.
constexpr int kInterrupt = 2;  // SIGINT
constexpr int kHangUp = 1;     // SIGHUP: the terminal went away

// Read by the calls in flight on other threads as well.
std::atomic<int> stopSignal = 0;
std::atomic<int> signalsReceived = 0;

constexpr char kWaitForSaves[] =
    "zelvor-cli: przerywam i zapisuję oba skoroszyty, proszę czekać. Trzecie Ctrl-C zakończy "
    "program natychmiast, bez zapisania wierszy od ostatniego zapisu.\n";

int SignalOf(DWORD event) {
  switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
      return kInterrupt;
    case CTRL_CLOSE_EVENT:
      return kHangUp;
    default:
      return 0;
  }
}

// Windows calls this on a thread of its own for each event.
BOOL WINAPI OnConsoleEvent(DWORD event) {
  const int number = SignalOf(event);
  if (number == 0) return FALSE;  // log-off and shutdown: Windows' own handling
  int none = 0;
  stopSignal.compare_exchange_strong(none, number);
  const int received = signalsReceived.fetch_add(1) + 1;
  if (received == 2) {
    WriteUtf8(::GetStdHandle(STD_ERROR_HANDLE), kWaitForSaves);
  } else if (received >= 3) {
    // Ended at once, as asked, but without a half-written file left behind.
    workbook::RemoveSavesInProgress();
    ::TerminateProcess(::GetCurrentProcess(), STATUS_CONTROL_C_EXIT);
  }
  if (event == CTRL_CLOSE_EVENT) {
    // Windows ends the process as soon as this returns. Waiting here lets the run stop, save
    // both workbooks and return its exit status from main, which ends this thread with the
    // process; Windows' own time limit for a closing console still applies.
    ::Sleep(INFINITE);
  }
  return TRUE;
}

}  // namespace

void CatchStopSignal() {
  // A handler added twice would count every event twice.
  static const bool installed = ::SetConsoleCtrlHandler(&OnConsoleEvent, TRUE) != 0;
  (void)installed;
}

bool StopSignalled() {
  return stopSignal.load() != 0;
}

int StopSignalNumber() {
  return stopSignal.load();
}

}  // namespace zelvor::cli
