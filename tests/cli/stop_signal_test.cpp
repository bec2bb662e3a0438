// The stop signals of a headless run: the first asks the run to stop, the second only tells the
// user that the saves are awaited, the third ends the program at once without leaving the
// temporary file of a save behind.
#include "cli/stop_signal.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "support/forked_child.h"
#include "support/scratch_folder.h"
#include "support/workbook_test_support.h"
#include "workbook/saves_in_progress.h"

namespace zelvor::cli {
namespace {

using testing::HasSubstr;

TEST(StopSignal, TheSecondSignalTellsTheThirdEndsTheProgramWithoutItsHalfWrittenSave) {
  test::ScratchFolder folder;
  const std::string saving = folder.File(".Wynik.xlsx.~1-0.tmp");
  const std::string other = folder.File("klienci.xlsx");
  test::WriteFile(saving, "half a workbook");
  test::WriteFile(other, "a workbook");

  const test::Child child = test::ForkChild([&](int output) {
    ::dup2(output, STDERR_FILENO);
    CatchStopSignal();
    workbook::NoteSaveInProgress(saving);
    ::raise(SIGINT);
    if (!StopSignalled() || StopSignalNumber() != SIGINT) ::_exit(1);
    ::raise(SIGTERM);
    (void)!::write(STDERR_FILENO, "still saving\n", 13);
    ::raise(SIGINT);
    ::_exit(2);  // not reached
  });
  std::string text;
  char buffer[512];
  for (ssize_t n; (n = ::read(child.output, buffer, sizeof buffer)) > 0;) text.append(buffer, n);
  ::close(child.output);
  int status = 0;
  ::waitpid(child.pid, &status, 0);

  ASSERT_TRUE(WIFSIGNALED(status)) << "exit status " << WEXITSTATUS(status) << ": " << text;
  EXPECT_EQ(WTERMSIG(status), SIGINT);
  EXPECT_THAT(text, HasSubstr("proszę czekać"));
  EXPECT_THAT(text, HasSubstr("still saving"));
  EXPECT_FALSE(std::filesystem::exists(saving));
  EXPECT_TRUE(std::filesystem::exists(other));
}

}  // namespace
}  // namespace zelvor::cli
