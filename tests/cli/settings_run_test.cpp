// zelvor-cli and its settings file: the file's keys reach the register transport, options
// override them, and a value that cannot be used stops the command before it starts.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "support/cli_process.h"
#include "support/register_environment.h"
#include "support/scratch_folder.h"
#include "support/workbook_files.h"
#include "support/workbook_test_support.h"

namespace zelvor::test {
namespace {

using testing::HasSubstr;
using testing::StartsWith;

// Every test of this program runs with a settings folder of its own, so that the settings of
// whoever runs the tests never reach them.
class OwnSettingsFolder : public testing::Environment {
 public:
  void SetUp() override {
    folder_ = std::make_unique<ScratchFolder>();
    setenv("XDG_CONFIG_HOME", folder_->Path().c_str(), 1);
  }
  void TearDown() override { folder_.reset(); }

  static std::filesystem::path SettingsFile() {
    return std::filesystem::path(std::getenv("XDG_CONFIG_HOME")) / "zelvor" / "zelvor.conf";
  }

 private:
  std::unique_ptr<ScratchFolder> folder_;
};
const testing::Environment* const kOwnSettings =
    testing::AddGlobalTestEnvironment(new OwnSettingsFolder);

// Writes the settings file for the duration of one test.
class WrittenSettings {
 public:
  explicit WrittenSettings(const std::string& text) {
    std::filesystem::create_directories(OwnSettingsFolder::SettingsFile().parent_path());
    std::ofstream(OwnSettingsFolder::SettingsFile()) << text;
  }
  ~WrittenSettings() { std::filesystem::remove(OwnSettingsFolder::SettingsFile()); }
  WrittenSettings(const WrittenSettings&) = delete;
  WrittenSettings& operator=(const WrittenSettings&) = delete;
};

class SettingsRunTest : public testing::Test {
 protected:
  static void SetUpTestSuite() { env_ = new RegisterEnvironment(); }
  static void TearDownTestSuite() {
    delete env_;
    env_ = nullptr;
  }
  static inline RegisterEnvironment* env_ = nullptr;
};

TEST_F(SettingsRunTest, ARunConfiguredOnlyByTheFileReachesTheRegister) {
  const WrittenSettings settings(
      "[register]\nurl = " + env_->Url() +
      "\nconnections = 2\n[certificate]\nstore = " + env_->StoreFolder().string() + "\n");
  ScratchFolder folder;
  const std::string input =
      NumbersInput(folder.Path(), {env_->Data().At(0).NIP, env_->Data().At(1).NIP});
  const long before = env_->Requests();
  const CliRun run = RunCli({"list", input, "--no-progress"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(env_->Requests() - before, 4);
  EXPECT_EQ(ReadSheet(input)[2][2], env_->Data().At(1).FirmaNazwa);

  const CliRun config = RunCli({"config"});
  const std::string file = OwnSettingsFolder::SettingsFile().string();
  EXPECT_EQ(config.status, 0) << config.err;
  EXPECT_THAT(config.out, HasSubstr("settings file: " + file + "\n"));
  EXPECT_THAT(config.out, HasSubstr("[register] url = " + env_->Url() + "  (" + file + ":2)"));
  EXPECT_THAT(config.out, HasSubstr("[register] connections = 2  (" + file + ":3)"));
  EXPECT_THAT(config.out, HasSubstr("[certificate] name = KREPTD  (default)"));
}

TEST_F(SettingsRunTest, OptionsOverrideTheFile) {
  const WrittenSettings settings(
      "[register]\nurl = https://127.0.0.1:1/CitizenApi.svc\n[certificate]\nstore = /nie/ma\n");
  ScratchFolder folder;
  const std::string input = NumbersInput(folder.Path(), {env_->Data().At(0).NIP});
  const CliRun run = RunCli({"list", input, "--no-progress", "--register", env_->Url(), "--store",
                             env_->StoreFolder().string(), "--connections", "1"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(ReadSheet(input)[1][2], env_->Data().At(0).FirmaNazwa);

  const CliRun config = RunCli({"config", "--register", "https://127.0.0.2/x"});
  EXPECT_THAT(config.out, HasSubstr("[register] url = https://127.0.0.2/x  (option --register)"));
}

TEST_F(SettingsRunTest, AValueThatCannotBeUsedStopsEveryCommandBeforeItStarts) {
  const WrittenSettings settings("[register]\nurl = " + env_->Url() + "\n[certificate]\nstore = " +
                                 env_->StoreFolder().string() + "\nserial = 12AB\n");
  ScratchFolder folder;
  const std::string input = NumbersInput(folder.Path(), {env_->Data().At(0).NIP});
  const long before = env_->Requests();
  const std::string where = OwnSettingsFolder::SettingsFile().string() + ":5: [certificate] serial";
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"list", input, "--no-progress"}, {"test"}, {"config"}}) {
    const CliRun run = RunCli(args);
    EXPECT_EQ(run.status, 1) << args.front();
    EXPECT_THAT(run.err, HasSubstr(where)) << args.front();
    // What to do comes first, in Polish; the English text follows for support.
    EXPECT_THAT(run.err, StartsWith("zelvor-cli: Numer seryjny certyfikatu w ustawieniach"))
        << args.front();
  }
  EXPECT_EQ(env_->Requests(), before);
  EXPECT_EQ(ReadSheet(input)[1].size(), 1u);  // the input was never touched
}

// A plain-http register address is refused before the first record, from whichever source it
// comes; the input keeps every byte and no result is made.
TEST_F(SettingsRunTest, APlainHttpRegisterIsRefusedBeforeAnythingIsTouched) {
  const std::string plain = "http://127.0.0.1:" + env_->Url().substr(env_->Url().rfind(':') + 1);
  const struct {
    const char* source;
    std::string file;
    std::vector<std::string> options;
    std::string error;
  } cases[] = {
      {"option",
       "",
       {"--register", plain},
       "zelvor-cli: Adres rejestru „" + plain + "” nie używa szyfrowanego połączenia https"},
      {"file", "[register]\nurl = " + plain + "\n", {}, ":2: [register] url: "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.source);
    const WrittenSettings settings(c.file);
    ScratchFolder folder;
    const std::string input = NumbersInput(folder.Path(), env_->FirstNumbers(3));
    const std::string bytes = ReadFile(input);
    const long before = env_->Requests();
    std::vector<std::string> args{"list", input, "--no-progress", "--store",
                                  env_->StoreFolder().string()};
    args.insert(args.end(), c.options.begin(), c.options.end());
    const CliRun run = RunCli(args);
    EXPECT_EQ(run.status, 1);
    EXPECT_THAT(run.err, HasSubstr(c.error));
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(ReadFile(input), bytes);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1);
    EXPECT_EQ(env_->Requests(), before);
  }
}

// A file saved by a Windows editor starts with a byte-order mark; a link to no file is named as
// such instead of silently leaving the defaults; a settings folder that cannot be read stops the
// commands that need settings but not --version and --help.
TEST_F(SettingsRunTest, TheSettingsFileAsEditorsAndFoldersLeaveIt) {
  const std::string file = OwnSettingsFolder::SettingsFile().string();
  {
    const WrittenSettings settings("\xEF\xBB\xBF[register]\nurl = " + env_->Url() + "\n");
    const CliRun config = RunCli({"config"});
    EXPECT_EQ(config.status, 0) << config.err;
    EXPECT_THAT(config.out, HasSubstr("[register] url = " + env_->Url() + "  (" + file + ":2)"));
  }
  {
    std::filesystem::create_directories(OwnSettingsFolder::SettingsFile().parent_path());
    std::filesystem::create_symlink("/nie/ma/zelvor.conf", file);
    const CliRun config = RunCli({"config"});
    std::filesystem::remove(file);
    EXPECT_EQ(config.status, 1);
    EXPECT_THAT(config.err, HasSubstr(file));
    EXPECT_THAT(config.err, HasSubstr("/nie/ma/zelvor.conf"));
  }
  {
    ScratchFolder folder;
    const std::string notAFolder = folder.File("plik");
    std::ofstream(notAFolder) << "x";
    const std::string own = std::getenv("XDG_CONFIG_HOME");
    setenv("XDG_CONFIG_HOME", (notAFolder + "/config").c_str(), 1);
    const CliRun version = RunCli({"--version"});
    const CliRun help = RunCli({"--help"});
    const CliRun config = RunCli({"config"});
    setenv("XDG_CONFIG_HOME", own.c_str(), 1);
    EXPECT_EQ(version.status, 0) << version.err;
    EXPECT_EQ(help.status, 0) << help.err;
    EXPECT_EQ(config.status, 1);
    EXPECT_THAT(config.err, HasSubstr(notAFolder + "/config/zelvor/zelvor.conf"));
  }
}

}  // namespace
}  // namespace zelvor::test
