// zelvor-cli runs cut short from outside: killed at start-up, stopped by repeated Ctrl-C, or
// meeting a register that crashed and came back. Whatever happens, no file is damaged or left
// half-made, and no record looked up is lost.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>
#include <random>

#include "support/cli_process.h"
#include "support/register_environment.h"
#include "support/workbook_files.h"

namespace zelvor::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testing::HasSubstr;

std::vector<std::string> AtSim(std::vector<std::string> args, const RegisterEnvironment& env) {
  args.insert(args.end(),
              {"--register", env.Url(), "--store", env.StoreFolder().string(), "--no-progress"});
  return args;
}

std::vector<fs::path> FilesStartingWith(const fs::path& folder, const std::string& prefix) {
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(folder))
    if (entry.path().filename().string().starts_with(prefix)) files.push_back(entry.path());
  return files;
}

// Runs killed at random moments of their first 200 ms, with one and with four connections: each
// result name holds a readable workbook, and what a dead run only reserved is gone after the next
// run.
TEST(InterruptedRuns, KillsAtStartUpLeaveNoEmptyOrUnreadableResult) {
  RegisterEnvironment env;
  ScratchFolder folder;
  const std::string input = NumbersInput(folder.Path(), env.FirstNumbers(40));
  std::mt19937 random(20261211);
  std::uniform_int_distribution<int> delayMs(0, 200);
  for (int run = 0; run < 20; ++run) {
    const auto killAt =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(delayMs(random));
    const std::string connections = run % 2 == 0 ? "1" : "4";
    const CliRun killed =
        RunCli(AtSim({"list", input, "--connections", connections}, env),
               {.interruptWhen =
                    [&](const std::string&) { return std::chrono::steady_clock::now() >= killAt; },
                .signal = SIGKILL});
    for (const fs::path& result : FilesStartingWith(folder.Path(), "Wynik_Hdr_")) {
      ASSERT_GT(fs::file_size(result), 0u) << result << " after run " << run;
      EXPECT_NO_THROW(ReadSheet(result.string())) << result << " after run " << run;
    }
    EXPECT_NO_THROW(ReadSheet(input)) << "run " << run;
  }

  const CliRun last = RunCli(AtSim({"list", input}, env));
  ASSERT_EQ(last.status, 0) << last.err;
  for (const fs::path& result : FilesStartingWith(folder.Path(), "Wynik_Hdr_"))
    EXPECT_GT(ReadSheet(result.string()).size(), 1u) << result << " holds no record";
  EXPECT_THAT(FilesStartingWith(folder.Path(), "."), testing::IsEmpty());
}

// The register crashes in the middle of a run and is back 2.5 s later, within the retries'
// waits (1 s, then 3 s); the new server knows nothing of the TLS session the client kept.
TEST(InterruptedRuns, ARegisterRestartedMidRunLosesNoRecord) {
  RegisterEnvironment env({"--latency-ms", "20"});
  ScratchFolder folder;
  const std::vector<std::string> numbers = env.FirstNumbers(40);
  const std::string input = NumbersInput(folder.Path(), numbers);
  bool restarted = false;
  const CliRun run =
      RunCli(AtSim({"list", input}, env), {.interruptWhen = [&](const std::string& out) {
               if (!restarted && Lines(out).size() >= 10) {
                 env.Restart(2500ms);
                 restarted = true;
               }
               return false;
             }});
  ASSERT_TRUE(restarted);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_THAT(run.out, HasSubstr("PODSUMOWANIE: rekordy: 40, znalezione: 40, "));
  const SheetRows annotated = ReadSheet(input);
  ASSERT_EQ(annotated.size(), numbers.size() + 1);
  for (std::size_t r = 1; r < annotated.size(); ++r)
    EXPECT_EQ(annotated[r].at(2), env.Data().At(r - 1).FirmaNazwa) << r;
}

// Ctrl-C twice in a row, as an impatient user presses it: the run still ends as after one, with
// every record it logged in both workbooks and no temporary file left.
TEST(InterruptedRuns, CtrlCTwiceKeepsEveryRecordLogged) {
  RegisterEnvironment env({"--latency-ms", "10"});
  ScratchFolder folder;
  const std::string input = NumbersInput(folder.Path(), env.FirstNumbers(60));
  const CliRun run =
      RunCli(AtSim({"list", input}, env),
             {.interruptWhen = [](const std::string& out) { return Lines(out).size() >= 35; },
              .times = 2,
              .repeatAfter = 1ms});
  EXPECT_EQ(run.status, 130) << run.err;
  EXPECT_THAT(FilesStartingWith(folder.Path(), "."), testing::IsEmpty());
  const std::string result = Reported(run.out, "result");
  ASSERT_NE(result, "") << run.out;
  const std::size_t logged = Lines(run.out).size() - 5;  // summary, result, end, two paths
  EXPECT_EQ(ReadSheet(result).size(), logged + 1);
  const SheetRows annotated = ReadSheet(input);
  for (std::size_t r = 1; r <= logged; ++r) EXPECT_EQ(annotated.at(r).size(), 3u) << r;
}

}  // namespace
}  // namespace zelvor::test
