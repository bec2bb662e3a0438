#pragma once
// Ctrl-C as the stop box of a headless run: the first SIGINT only raises a flag that the host
// reads between records; the handler then gives way to the default one, so a second Ctrl-C
// ends the program at once.

namespace zelvor::cli {

// Installs the handler; call once, before the run.
void CatchStopSignal();

// True once SIGINT arrived.
bool StopSignalled();

}  // namespace zelvor::cli
