#pragma once
// The terminal under standard output and standard error, one implementation per system
// (terminal_posix.cpp, terminal_windows.cpp).

#include <cstdio>
#include <string_view>

namespace zelvor::cli {

// Whether the stream goes to a terminal (a console on Windows), not to a file, a pipe or NUL.
bool IsTerminal(std::FILE* stream);

// Writes UTF-8 text to the stream and flushes it. A Windows console is given it as UTF-16, so
// that Polish letters show whatever the console's code page.
void WriteText(std::FILE* stream, std::string_view text);

}  // namespace zelvor::cli
