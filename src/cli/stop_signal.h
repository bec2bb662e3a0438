#pragma once
// Ctrl-C, SIGTERM and SIGHUP as the stop box of a headless run: the first of them only raises a
// flag that the host reads between records and the register calls in flight read as they wait,
// so the run ends as after a stop and keeps what it wrote. A second one is told that the saves
// are awaited; a third ends the program at once, removing the temporary files of its saves.
// On Windows the console's Ctrl-C, Ctrl-Break and closing of its window do the same
// (stop_signal_windows.cpp).

namespace zelvor::cli {

// Installs the handlers; call once, before the run.
void CatchStopSignal();

// True once one of the signals arrived.
bool StopSignalled();

// The number of the signal that stopped the run, 0 while none did. On Windows it is the number
// of the POSIX signal of the same meaning, so that the exit status is the same: SIGINT (2) for
// Ctrl-C and Ctrl-Break, SIGHUP (1) for a closed console window.
int StopSignalNumber();

}  // namespace zelvor::cli
