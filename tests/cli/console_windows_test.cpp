// zelvor-cli in a Windows console: Ctrl-C stops a run as on Linux (the first asks the run to stop,
// the second tells that the saves are awaited, the third ends the program without the temporary
// file of a save), arguments with Polish letters arrive whole, and the console shows them.
// The console cases run this test program again as a child in a hidden console of its own, so
// that its control events reach no other process.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "cli/console.h"
#include "cli/process.h"
#include "cli/stop_signal.h"
#include "cli/terminal.h"
#include "support/scratch_folder.h"
#include "support/workbook_test_support.h"
#include "workbook/file_system.h"
#include "workbook/saves_in_progress.h"

namespace zelvor::cli {
namespace {

namespace fs = std::filesystem;
using testing::ElementsAre;
using testing::HasSubstr;
using workbook::files::Utf8;

constexpr wchar_t kModeVariable[] = L"ZELVOR_CLI_CHILD";
constexpr wchar_t kFolderVariable[] = L"ZELVOR_CLI_CHILD_FOLDER";
constexpr char kSaving[] = ".Wynik.xlsx.~1-0.tmp";
constexpr char kOutput[] = "output.txt";

std::wstring Variable(const wchar_t* name) {
  wchar_t value[1024];
  const DWORD length = ::GetEnvironmentVariableW(name, value, std::size(value));
  return length > 0 && length < std::size(value) ? std::wstring(value, length) : std::wstring();
}

// Waits up to 10 s for the condition.
template <class Condition>
bool Eventually(Condition condition) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

// The child's side; what went wrong is on its standard error and in its exit status.
int Fail(const char* why) {
  std::fprintf(stderr, "child: %s\n", why);
  std::fflush(stderr);
  return 99;
}

int StopChild(const fs::path& folder) {
  CatchStopSignal();
  workbook::NoteSaveInProgress(Utf8(folder / kSaving));
  ::GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0);
  if (!Eventually(&StopSignalled)) return Fail("the first Ctrl-C did not stop the run");
  if (StopSignalNumber() != 2) return Fail("not SIGINT's number, so not exit status 130");
  ::GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0);
  if (!Eventually([&] {
        return test::ReadFile(Utf8(folder / kOutput)).find("proszę czekać") != std::string::npos;
      }))
    return Fail("the second Ctrl-C told nothing");
  std::fputs("still saving\n", stderr);
  std::fflush(stderr);
  ::GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0);
  ::Sleep(10'000);
  return Fail("the third Ctrl-C did not end the program");
}

int ArgumentsChild() {
  Console console = Console::Standard(false);
  for (const std::string& argument : Utf8Arguments(__argc, __argv))
    console.Out("[" + argument + "]");
  return 0;
}

// The child's status when its console cannot be written at all (wine without a display).
constexpr int kNoConsole = 77;

int ConsoleChild() {
  DWORD mode = 0;
  const HANDLE screen =
      ::CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
  if (!::GetConsoleMode(screen, &mode)) return kNoConsole;
  if (!IsTerminal(stdout)) return Fail("the console is not taken for a terminal");
  Console console = Console::Standard(true);
  console.Out("Klienci – Łódź");
  const std::wstring expected = L"Klienci – Łódź";
  std::wstring shown(expected.size(), L'\0');
  DWORD read = 0;
  if (!::ReadConsoleOutputCharacterW(screen, shown.data(), static_cast<DWORD>(shown.size()), {0, 0},
                                     &read))
    return Fail("the console cannot be read back");
  shown.resize(read);
  return shown == expected ? 0 : 1;
}

// This program run as a child ends here, before the tests start.
const bool kChild = [] {
  const std::wstring mode = Variable(kModeVariable);
  if (mode.empty()) return false;
  const fs::path folder = Variable(kFolderVariable);
  const int status = mode == L"stop"        ? StopChild(folder)
                     : mode == L"arguments" ? ArgumentsChild()
                     : mode == L"console"   ? ConsoleChild()
                                            : Fail("unknown mode");
  std::fflush(nullptr);
  ::ExitProcess(static_cast<UINT>(status));
}();

struct ChildRun {
  DWORD status = 0;
  std::string output;  // standard output and error, when they were redirected
};

// Runs this program again in a hidden console of its own, with `arguments` after its name.
ChildRun RunChild(const std::wstring& mode, const test::ScratchFolder& folder,
                  const std::wstring& arguments = L"", bool redirected = true) {
  wchar_t program[MAX_PATH];
  ::GetModuleFileNameW(nullptr, program, MAX_PATH);
  std::wstring commandLine = L"\"" + std::wstring(program) + L"\" " + arguments;

  SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
  const fs::path outputPath = folder / kOutput;
  HANDLE output = ::CreateFileW(outputPath.c_str(), GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &inherited,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  EXPECT_NE(output, INVALID_HANDLE_VALUE);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  if (redirected) {
    startup.dwFlags |= STARTF_USESTDHANDLES;
    startup.hStdOutput = output;
    startup.hStdError = output;
  }
  ::SetEnvironmentVariableW(kModeVariable, mode.c_str());
  ::SetEnvironmentVariableW(kFolderVariable, folder.Path().c_str());
  PROCESS_INFORMATION child{};
  const bool started = ::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE,
                                        CREATE_NEW_CONSOLE, nullptr, nullptr, &startup, &child);
  ::SetEnvironmentVariableW(kModeVariable, nullptr);
  ::SetEnvironmentVariableW(kFolderVariable, nullptr);
  ::CloseHandle(output);
  ChildRun run;
  EXPECT_TRUE(started) << "CreateProcessW: " << ::GetLastError();
  if (!started) return run;
  EXPECT_EQ(::WaitForSingleObject(child.hProcess, 60'000), WAIT_OBJECT_0);
  ::GetExitCodeProcess(child.hProcess, &run.status);
  ::CloseHandle(child.hProcess);
  ::CloseHandle(child.hThread);
  run.output = test::ReadFile(Utf8(outputPath));
  return run;
}

TEST(WindowsConsole, TheSecondCtrlCTellsTheThirdEndsTheProgramWithoutItsHalfWrittenSave) {
  test::ScratchFolder folder;
  const std::string saving = Utf8(folder / kSaving);
  const std::string other = Utf8(folder / "klienci.xlsx");
  test::WriteFile(saving, "half a workbook");
  test::WriteFile(other, "a workbook");

  const ChildRun run = RunChild(L"stop", folder);

  EXPECT_EQ(run.status, static_cast<DWORD>(STATUS_CONTROL_C_EXIT)) << run.output;
  EXPECT_THAT(run.output, HasSubstr("zapisuję oba skoroszyty, proszę czekać"));
  EXPECT_THAT(run.output, HasSubstr("still saving"));
  EXPECT_FALSE(fs::exists(folder / kSaving));
  EXPECT_TRUE(fs::exists(folder / "klienci.xlsx"));
}

// Quoted, empty and Polish arguments arrive as typed, in UTF-8, and go out as UTF-8 bytes to a
// file.
TEST(WindowsConsole, ArgumentsArriveAsUtf8) {
  test::ScratchFolder folder;
  const ChildRun run = RunChild(
      L"arguments", folder,
      L"list \"C:\\Klienci – Łódź\\zażółć.xlsx\" \"\" --output=D:\\Gdańsk \"say \\\"hi\\\"\"");

  EXPECT_EQ(run.status, 0u) << run.output;
  std::vector<std::string> lines;
  for (std::size_t start = 0, end; (end = run.output.find('\n', start)) != std::string::npos;
       start = end + 1) {
    std::string line = run.output.substr(start, end - start);
    if (line.ends_with('\r')) line.pop_back();
    lines.push_back(line);
  }
  EXPECT_THAT(lines, ElementsAre("[list]", "[C:\\Klienci – Łódź\\zażółć.xlsx]", "[]",
                                 "[--output=D:\\Gdańsk]", "[say \"hi\"]"));
}

TEST(WindowsConsole, PolishLettersShowInTheConsole) {
  test::ScratchFolder folder;
  const ChildRun run = RunChild(L"console", folder, L"", false);
  if (run.status == kNoConsole) GTEST_SKIP() << "no console to write to here";
  EXPECT_EQ(run.status, 0u);
}

// A file and NUL are no terminals, though the C library's _isatty takes NUL for one.
TEST(WindowsConsole, FilesAndNulAreNoTerminals) {
  test::ScratchFolder folder;
  for (const fs::path& path : {folder / "out.txt", fs::path(L"NUL")}) {
    std::FILE* stream = ::_wfopen(path.c_str(), L"w");
    ASSERT_NE(stream, nullptr) << Utf8(path);
    EXPECT_FALSE(IsTerminal(stream)) << Utf8(path);
    std::fclose(stream);
  }
}

}  // namespace
}  // namespace zelvor::cli
