#include <algorithm>

#include "cli/process.h"

namespace zelvor::cli {

std::vector<std::string> Utf8Arguments(int argc, char* argv[]) {
  return std::vector<std::string>(argv + std::min(argc, 1), argv + argc);
}

std::filesystem::path ProgramFile() {
  std::error_code error;
  std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::filesystem::path() : program;
}

}  // namespace zelvor::cli
