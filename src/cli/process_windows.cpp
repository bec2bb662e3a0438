#include <windows.h>
// shellapi.h needs the types of windows.h first.
#include <shellapi.h>

#include <algorithm>

#include "cli/process.h"

namespace zelvor::cli {
namespace {

std::string Utf8(std::wstring_view wide) {
  if (wide.empty()) return {};
  // Invalid UTF-16 (a lone surrogate) becomes U+FFFD rather than ending the program.
  const int length = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                           nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), text.data(), length,
                        nullptr, nullptr);
  return text;
}

}  // namespace

std::vector<std::string> Utf8Arguments(int argc, char* argv[]) {
  int count = 0;
  wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  if (wide == nullptr) return std::vector<std::string>(argv + std::min(argc, 1), argv + argc);
  std::vector<std::string> arguments;
  for (int i = 1; i < count; ++i) arguments.push_back(Utf8(wide[i]));
  ::LocalFree(wide);
  return arguments;
}

std::filesystem::path ProgramFile() {
  // MAX_PATH is no limit for a program under a long path; grow until the whole name fits.
  std::wstring name(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        ::GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
    if (length == 0) return {};
    if (length < name.size()) {
      name.resize(length);
      return std::filesystem::path(name);
    }
    name.resize(name.size() * 2);
  }
}

}  // namespace zelvor::cli
