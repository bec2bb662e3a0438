#pragma once
// The four commands of zelvor-cli, each run as the window runs its action.

#include "cli/cli_options.h"
#include "cli/console.h"

namespace zelvor::cli {

inline constexpr int kExitOk = 0;             // every record or day succeeded
inline constexpr int kExitFailed = 1;         // the run failed; the error is on standard error
inline constexpr int kExitUsage = 2;          // the command line is wrong
inline constexpr int kExitRecordsFailed = 3;  // the run ended, but some records or days failed
inline constexpr int kExitSignalBase = 128;   // + the signal that stopped the run: 130 Ctrl-C,
                                              // 143 SIGTERM, 129 SIGHUP

// Runs the command; returns the exit status. The service interfaces must be registered first.
int RunCommand(const CliOptions& options, Console& console);

}  // namespace zelvor::cli
