#pragma once
// The program's own command line and file, one implementation per system (process_posix.cpp,
// process_windows.cpp).

#include <filesystem>
#include <string>
#include <vector>

namespace zelvor::cli {

// The arguments after the program's name, as UTF-8. Windows hands main() its arguments in the
// ANSI code page, which has no room for every Polish letter of a folder's name, so there they are
// read again from the UTF-16 command line.
std::vector<std::string> Utf8Arguments(int argc, char* argv[]);

// The running program's file; empty when the system does not tell.
std::filesystem::path ProgramFile();

}  // namespace zelvor::cli
