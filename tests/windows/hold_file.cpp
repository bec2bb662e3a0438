// hold-file: opens a file as a spreadsheet application does, sharing nothing, says "held" and
// keeps it open for the given seconds, so that tests can see a program refuse the file.
#include <windows.h>

#include <cstdio>
#include <cwchar>

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) {
    std::fputs("usage: hold-file FILE SECONDS\n", stderr);
    return 2;
  }
  HANDLE file = ::CreateFileW(argv[1], GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    std::fprintf(stderr, "cannot open: error %lu\n", ::GetLastError());
    return 1;
  }
  std::puts("held");
  std::fflush(stdout);
  ::Sleep(static_cast<DWORD>(std::wcstoul(argv[2], nullptr, 10)) * 1000);
  ::CloseHandle(file);
  return 0;
}
