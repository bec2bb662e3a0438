#pragma once
// Windows only: writing UTF-8 text to a standard handle, for terminal_windows.cpp and the console
// control handler, which writes without the C library's stream locks.

#include <windows.h>

#include <string_view>

namespace zelvor::cli {

// Whether the handle is a console (not a file, a pipe or NUL).
bool IsConsole(HANDLE handle);

// A console is given the text as UTF-16, so that Polish letters show whatever its code page; a
// file or pipe gets the UTF-8 bytes as they are.
void WriteUtf8(HANDLE handle, std::string_view text);

}  // namespace zelvor::cli
