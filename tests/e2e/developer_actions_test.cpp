// The two hidden developer buttons: the lookup test against the register simulator, and the
// workbook test with the real and a failing spreadsheet component.
#include "jobs/developer_actions.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "jobs/output_paths.h"
#include "support/job_harness.h"
#include "support/workbook_files.h"

namespace zelvor::test {
namespace {

using testing::ElementsAre;

std::string FileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

class DeveloperActionsTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    const sim::SyntheticRegister data(RegisterEnvironment::kSeed, RegisterEnvironment::kSize);
    failingNip_ = data.At(5).NIP;
    env_ = new RegisterEnvironment({"--fault", failingNip_ + "=soap-fault"});
  }
  static void TearDownTestSuite() {
    delete env_;
    env_ = nullptr;
  }

  static RegisterEnvironment* env_;
  static std::string failingNip_;
};

RegisterEnvironment* DeveloperActionsTest::env_ = nullptr;
std::string DeveloperActionsTest::failingNip_;

TEST_F(DeveloperActionsTest, TheLookupStopsAtTheFirstEmptyLineAndWritesWhatItListed) {
  JobHarness h(*env_);
  const auto& first = env_->Data().At(0);
  const auto& last = env_->Data().At(3);
  const std::string unknown = UnknownValidNip(env_->Data());
  // Typed as is: the line with blanks is not cleaned and so not found.
  h.host.lookupLines = {first.NIP, unknown, failingNip_,           " " + first.NIP,
                        last.NIP,  "",      env_->Data().At(4).NIP};
  auto ctx = h.Context();
  jobs::RunDeveloperLookup(ctx);

  const auto found = [](const reg::PrzedsiebiorcaSzczegoloweDaneWyszukaneTyp& e) {
    return e.NIP + " " + e.FirmaNazwa + " " + e.NIP + " " + e.NumerReferencyjny();
  };
  EXPECT_THAT(h.host.output, ElementsAre(found(first), unknown + " BRAK", failingNip_ + " BRAK",
                                         " " + first.NIP + " BRAK", found(last)));
  // The pending summary row is the last number found.
  EXPECT_EQ(report::ValueLine(h.state.rows.summaryRow),
            last.FirmaNazwa + ";" + last.NIP + ";" + last.NumerReferencyjny() + ";");

  const std::string csv = h.folder.File("abc.csv");
  EXPECT_THAT(h.host.Texts("message"), ElementsAre("Powstal plik: " + csv));
  EXPECT_EQ(FileText(csv),
            "NIP;FirmaNazwa;NIP;NumerReferencyjny;\n" + first.NIP + ";" + first.FirmaNazwa + ";" +
                first.NIP + ";" + first.NumerReferencyjny() + ";\n" + unknown + ";BRAK;\n" +
                failingNip_ + ";BRAK;\n " + first.NIP + ";BRAK;\n" + last.NIP + ";" +
                last.FirmaNazwa + ";" + last.NIP + ";" + last.NumerReferencyjny() + ";\n");
}

TEST_F(DeveloperActionsTest, TheWorkbookTestWritesItsSentenceBesideTheProgram) {
  JobHarness h(*env_);
  auto ctx = h.Context();
  jobs::WriteSampleWorkbook(ctx);
  const std::string path = jobs::WorkbookTestPath(h.host.programFolder, h.host.now);
  EXPECT_THAT(ReadSheet(path, 1),
              ElementsAre(ElementsAre("We just created a new Excel file with one worksheet!")));
  EXPECT_THAT(SheetNames(path), testing::SizeIs(1));
  EXPECT_EQ(h.state.result.application, nullptr);
}

TEST_F(DeveloperActionsTest, TheWorkbookTestEndsSilentlyWithoutASpreadsheetComponent) {
  JobHarness h(*env_, FailingFactory::FailFrom(Operation::Start));
  auto ctx = h.Context();
  EXPECT_NO_THROW(jobs::WriteSampleWorkbook(ctx));
  EXPECT_TRUE(h.host.events.empty());
  EXPECT_TRUE(std::filesystem::is_empty(h.folder.Path()));
}

TEST_F(DeveloperActionsTest, AWorkbookTestThatCannotSaveShowsItsErrorAndQuits) {
  JobHarness h(*env_, FailingFactory::FailFrom(Operation::SaveAs));
  auto ctx = h.Context();
  EXPECT_THROW(jobs::WriteSampleWorkbook(ctx), std::exception);
  EXPECT_EQ(h.spreadsheets.Calls(Operation::Quit), 1);
  EXPECT_EQ(h.state.result.application, nullptr);
}

}  // namespace
}  // namespace zelvor::test
