#pragma once
// Whole files and whole-archive access to .xlsx files, and a forked child, for the workbook tests.

#include <sys/types.h>

#include <filesystem>
#include <functional>
#include <map>
#include <string>

namespace zelvor::test {

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);

// Every entry of the archive by name, uncompressed.
std::map<std::string, std::string> ReadParts(const std::string& path);
// Writes an archive of the given entries (deflated).
void WriteParts(const std::string& path, const std::map<std::string, std::string>& parts);

// A forked process that runs `body` and ends when it returns; what `body` writes to the file
// descriptor it is given, the parent reads from `output`.
struct Child {
  pid_t pid = -1;
  int output = -1;
};
Child ForkChild(const std::function<void(int output)>& body);

}  // namespace zelvor::test
