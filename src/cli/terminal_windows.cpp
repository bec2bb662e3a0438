#include <io.h>
#include <windows.h>

#include <string>

#include "cli/terminal.h"
#include "cli/windows_console.h"

namespace zelvor::cli {
namespace {

HANDLE HandleOf(std::FILE* stream) {
  return reinterpret_cast<HANDLE>(::_get_osfhandle(::_fileno(stream)));
}

}  // namespace

bool IsConsole(HANDLE handle) {
  DWORD mode = 0;
  return handle != nullptr && handle != INVALID_HANDLE_VALUE && ::GetConsoleMode(handle, &mode);
}

void WriteUtf8(HANDLE handle, std::string_view text) {
  if (text.empty()) return;
  if (!IsConsole(handle)) {
    DWORD written = 0;
    while (!text.empty() &&
           ::WriteFile(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
           written > 0)
      text.remove_prefix(written);
    return;
  }
  const int length =
      ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  if (length <= 0) return;
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                        length);
  std::wstring_view rest = wide;
  DWORD written = 0;
  while (!rest.empty() &&
         ::WriteConsoleW(handle, rest.data(), static_cast<DWORD>(rest.size()), &written, nullptr) &&
         written > 0)
    rest.remove_prefix(written);
}

bool IsTerminal(std::FILE* stream) {
  return IsConsole(HandleOf(stream));
}

void WriteText(std::FILE* stream, std::string_view text) {
  if (IsConsole(HandleOf(stream))) {
    std::fflush(stream);  // what the stream still holds goes first
    WriteUtf8(HandleOf(stream), text);
    return;
  }
  std::fwrite(text.data(), 1, text.size(), stream);
  std::fflush(stream);
}

}  // namespace zelvor::cli
