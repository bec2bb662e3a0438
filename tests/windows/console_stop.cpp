// console-stop: runs a program in a console of its own, with its output in files, and presses
// Ctrl-C in that console once a signal file exists, as a person at the console would; exits with
// the program's exit status.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

// One argument as the program's command line parser reads it back.
std::wstring Quoted(const std::wstring& argument) {
  std::wstring quoted = L"\"";
  std::size_t backslashes = 0;
  for (wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    quoted.push_back(c);
  }
  quoted.append(backslashes * 2, L'\\');
  return quoted + L"\"";
}

HANDLE OutputFile(const wchar_t* path) {
  SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  return ::CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ, &inherited, CREATE_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 5) {
    std::fputs("usage: console-stop SIGNAL_FILE OUT_FILE ERR_FILE PROGRAM [ARGUMENT...]\n", stderr);
    return 2;
  }
  std::wstring commandLine;
  for (int i = 4; i < argc; ++i) commandLine += (i > 4 ? L" " : L"") + Quoted(argv[i]);

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  startup.hStdOutput = OutputFile(argv[2]);
  startup.hStdError = OutputFile(argv[3]);
  PROCESS_INFORMATION child{};
  if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, CREATE_NEW_CONSOLE,
                        nullptr, nullptr, &startup, &child)) {
    std::fprintf(stderr, "console-stop: cannot start the program: error %lu\n", ::GetLastError());
    return 2;
  }
  ::CloseHandle(startup.hStdOutput);
  ::CloseHandle(startup.hStdError);

  for (int waited = 0; ::GetFileAttributesW(argv[1]) == INVALID_FILE_ATTRIBUTES; waited += 50) {
    if (waited > 120000 || ::WaitForSingleObject(child.hProcess, 0) == WAIT_OBJECT_0) {
      std::fputs("console-stop: the program ended or the signal file never came\n", stderr);
      ::TerminateProcess(child.hProcess, 2);
      return 2;
    }
    ::Sleep(50);
  }
  // Ctrl-C reaches every process of a console: join the program's, and ignore it here.
  ::FreeConsole();
  if (!::AttachConsole(child.dwProcessId) || !::SetConsoleCtrlHandler(nullptr, TRUE) ||
      !::GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0)) {
    std::fprintf(stderr, "console-stop: cannot press Ctrl-C: error %lu\n", ::GetLastError());
    ::TerminateProcess(child.hProcess, 2);
    return 2;
  }
  if (::WaitForSingleObject(child.hProcess, 120000) != WAIT_OBJECT_0) {
    ::TerminateProcess(child.hProcess, 2);
    return 2;
  }
  DWORD status = 2;
  ::GetExitCodeProcess(child.hProcess, &status);
  return static_cast<int>(status);
}
