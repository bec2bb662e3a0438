// The tax number list job against the register simulator, from input workbook to results.
#include "jobs/nip_list_job.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "jobs/output_paths.h"
#include "support/job_harness.h"
#include "support/workbook_files.h"
#include "support/workbook_test_support.h"

namespace zelvor::test {
namespace {

using testing::ElementsAre;
using testing::HasSubstr;

constexpr const char* kInvalid = "BŁĘDNY NUMER NIP - błąd sumy kontrolnej";
constexpr const char* kDetailsFailed = "POBIERANIE SZCZEGÓŁÓW Z GITD ZAKOŃCZYŁO SIĘ BŁĘDEM: ";

// The enterprises and faults the runs below meet.
struct Cast {
  const reg::PrzedsiebiorcaSzczegoloweDaneWyszukaneTyp* rich;         // licence copies
  const reg::PrzedsiebiorcaSzczegoloweDaneWyszukaneTyp* searchFault;  // its search faults
  const reg::PrzedsiebiorcaSzczegoloweDaneWyszukaneTyp* fetchFault;   // its details fault
  std::string unknownNip;
};

class NipListJobTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    const sim::SyntheticRegister data(RegisterEnvironment::kSeed, RegisterEnvironment::kSize);
    const std::string searchFaultNip = data.At(10).NIP;
    const std::string fetchFaultReference = data.At(11).NumerReferencyjny();
    env_ = new RegisterEnvironment(
        {"--fault", searchFaultNip + "=soap-fault", "--fault", fetchFaultReference + "=http-503"});
    cast_ = {&env_->Data().At(0), &env_->Data().At(10), &env_->Data().At(11),
             UnknownValidNip(env_->Data())};
  }
  static void TearDownTestSuite() {
    delete env_;
    env_ = nullptr;
  }

  // Runs the job on an input workbook with these rows below the header.
  std::string Run(JobHarness& h, const std::vector<std::string>& numbers) {
    SheetRows rows{{"NIP", "", "", "uwagi"}};
    for (const std::string& n : numbers) rows.push_back({n, "", "", "bez zmian"});
    const std::string input = h.folder.File("klienci.xlsx");
    WriteWorkbook(input, rows);
    h.host.filesToOpen.push_back(input);
    auto ctx = h.Context();
    jobs::RunNipListJob(ctx);
    return input;
  }

  static std::string ResultPath(const JobHarness& h) {
    return jobs::ListJobOutputPath(h.folder.File("klienci.xlsx"), h.host.now);
  }

  static RegisterEnvironment* env_;
  static Cast cast_;
};

RegisterEnvironment* NipListJobTest::env_ = nullptr;
Cast NipListJobTest::cast_;

TEST_F(NipListJobTest, EachKindOfRecordGetsItsRowCellsAndLogLine) {
  JobHarness h(*env_);
  const std::string rich = cast_.rich->NIP;
  const std::string dashed = rich.substr(0, 3) + "-" + rich.substr(3, 3) + "-" + rich.substr(6);
  const std::string input =
      Run(h, {" PL" + dashed + " ", rich, "1234567890", cast_.unknownNip, cast_.searchFault->NIP,
              cast_.fetchFault->NIP, "NIP klienta nr: " + rich, ""});

  // Column B holds the cleaned number, C the outcome; the other cells stay as they were.
  const SheetRows annotated = ReadSheet(input);
  ASSERT_EQ(annotated.size(), 9u);
  EXPECT_THAT(annotated[0], ElementsAre("NIP", "", "", "uwagi"));
  const auto row = [&](std::size_t r) { return annotated[r]; };
  EXPECT_THAT(row(1), ElementsAre(" PL" + dashed + " ", rich, cast_.rich->FirmaNazwa, "bez zmian"));
  EXPECT_THAT(row(2), ElementsAre(rich, rich, "POWIELONY NUMER NIP", "bez zmian"));
  EXPECT_THAT(row(3), ElementsAre("1234567890", "1234567890", kInvalid, "bez zmian"));
  EXPECT_THAT(row(4), ElementsAre(cast_.unknownNip, cast_.unknownNip, "BRAK", "bez zmian"));
  EXPECT_EQ(row(5)[2].rfind("WYSZUKIWANIE W GITD ZAKOŃCZYŁO SIĘ BŁĘDEM: ", 0), 0u) << row(5)[2];
  EXPECT_EQ(row(6)[2].rfind(kDetailsFailed, 0), 0u) << row(6)[2];
  // Cut to 20 characters before cleaning: "NIP klienta nr: 5261" keeps four digits.
  EXPECT_THAT(row(7),
              ElementsAre("NIP klienta nr: " + rich, rich.substr(0, 4), kInvalid, "bez zmian"));
  EXPECT_THAT(row(8), ElementsAre("", "", kInvalid, "bez zmian"));

  const std::string result = ResultPath(h);
  EXPECT_THAT(SheetNames(result), ElementsAre("HDR", "DET"));
  const SheetRows hdr = ReadSheet(result, 1);
  ASSERT_EQ(hdr.size(), 9u);
  ASSERT_GE(hdr[0].size(), 41u);
  EXPECT_THAT(std::vector(hdr[0].begin(), hdr[0].begin() + 5),
              ElementsAre("LP", "FirmaNazwa", "NIP", "NumerReferencyjny", "FormaPrawna"));
  EXPECT_EQ(hdr[0][40], "ListaLicencjaWspolnotowaTypLiczbaPojazdow");
  EXPECT_THAT(std::vector(hdr[1].begin(), hdr[1].begin() + 4),
              ElementsAre("1", cast_.rich->FirmaNazwa, rich, cast_.rich->NumerReferencyjny()));
  EXPECT_THAT(hdr[2], ElementsAre("2", "POWIELONY NUMER NIP", rich));
  EXPECT_THAT(hdr[4], ElementsAre("4", "BRAK w GITD", cast_.unknownNip));
  EXPECT_THAT(hdr[5][1], HasSubstr("Wewn"));  // the register's own fault text
  // The details could not be fetched: the row says so in place of the name, and keeps the hit.
  EXPECT_THAT(hdr[6], ElementsAre("6", row(6)[2], cast_.fetchFault->NIP,
                                  cast_.fetchFault->NumerReferencyjny()));
  EXPECT_THAT(row(6)[2], HasSubstr("(503)"));

  const SheetRows det = ReadSheet(result, 2);
  const auto& copies = cast_.rich->ListaWypisowZLicencjiTyp();
  ASSERT_EQ(det.size(), copies.size() + 1);
  EXPECT_EQ(det[0][0], "NIP");
  for (std::size_t i = 0; i < copies.size(); ++i) {
    EXPECT_EQ(det[i + 1][0], rich);
    EXPECT_EQ(det[i + 1][1], copies[i]->NumerWypisu);
  }

  // One log line a record, then the summary, whose counts are those of the rows above, the
  // result's path and the end; the failed records are reported once more in a warning.
  EXPECT_EQ(h.host.output.size(), 11u);
  EXPECT_THAT(std::vector(h.host.output.end() - 3, h.host.output.end()),
              ElementsAre("PODSUMOWANIE: rekordy: 8, znalezione: 1, nieznalezione: 1, błędne: 3, "
                          "powtórzone: 1, błędy wyszukiwania: 1, błędy pobierania szczegółów: 1, "
                          "nieprzetworzone: 0",
                          "Plik wynikowy: " + result, "KONIEC"));
  EXPECT_EQ(h.host.Texts("error").size(), 0u);
  ASSERT_EQ(h.host.Texts("run-warning").size(), 1u);
  EXPECT_THAT(
      h.host.Texts("run-warning")[0],
      testing::AllOf(HasSubstr("PODSUMOWANIE"), HasSubstr("Pierwszy błąd: "), HasSubstr(" (Wewn")));
  EXPECT_FALSE(h.state.inputSpreadsheetOpen);
  EXPECT_EQ(h.state.result.application, nullptr);
}

TEST_F(NipListJobTest, ASheetWithOnlyItsHeaderRowGivesEmptySheets) {
  JobHarness h(*env_);
  Run(h, {});
  EXPECT_EQ(h.host.output.back(), "KONIEC");
  EXPECT_TRUE(h.host.Texts("run-warning").empty());
  EXPECT_TRUE(h.host.Texts("run-error").empty());
  EXPECT_TRUE(ReadSheet(ResultPath(h), 1).empty());
  EXPECT_TRUE(ReadSheet(ResultPath(h), 2).empty());
}

TEST_F(NipListJobTest, TheStopBoxLetsTheCurrentRecordFinish) {
  JobHarness h(*env_);
  h.host.stopOnEventCall = 2;
  h.host.stopBoxToTick = jobs::StopBox::NipList;
  const std::string input = Run(h, {"1", "2", "3", "4"});
  const SheetRows annotated = ReadSheet(input);
  EXPECT_EQ(annotated[2][2], kInvalid);
  EXPECT_EQ(annotated[3].size(), 4u);
  EXPECT_EQ(annotated[3][2], "");  // never reached
  EXPECT_EQ(ReadSheet(ResultPath(h), 1).size(), 3u);
  EXPECT_EQ(h.host.output.back(), "KONIEC");
}

TEST_F(NipListJobTest, TheResultIsSavedEveryThirtyInputRows) {
  JobHarness h(*env_);
  std::vector<std::string> numbers(64, "1");
  // Row 30 is the 29th record: the save after input row 29 holds 28 records, in the result
  // (under its header row) and in the input's column C alike. The result exists, empty, from
  // the start.
  std::vector<std::size_t> rowsSeen, annotationsSeen;
  const std::string input = h.folder.File("klienci.xlsx");
  h.host.onPendingEvents = [&](int call) {
    if (call == 28 || call == 29 || call == 59) {
      // Both workbooks finish their saves in the background.
      if (h.state.result.workbook) h.state.result.workbook->WaitForSaves();
      if (h.state.inputSpreadsheet) h.state.inputSpreadsheet->Workbooks(1).WaitForSaves();
      rowsSeen.push_back(ReadSheet(ResultPath(h)).size());
      std::size_t annotated = 0;
      for (const auto& row : ReadSheet(input)) annotated += row.size() > 2 && row[2] == kInvalid;
      annotationsSeen.push_back(annotated);
    }
  };
  Run(h, numbers);
  EXPECT_THAT(rowsSeen, ElementsAre(0u, 29u, 59u));
  EXPECT_THAT(annotationsSeen, ElementsAre(0u, 28u, 58u));
  EXPECT_EQ(h.spreadsheets.Calls(Operation::SaveAs), 4);
}

// A run that ends before its first record leaves its input as it was and no result behind, and
// shows its error once, even when every save fails the same way (a full disk).
TEST_F(NipListJobTest, ARunThatEndsBeforeItsFirstRecordLeavesNoResultAndShowsWhyOnce) {
  const struct {
    const char* name;
    FailingFactory::Rule failWhen;
    const char* error;
  } cases[] = {
      {"input not a workbook", [](const auto&) { return false; }, "klienci.xlsx"},
      {"every save fails", FailingFactory::FailFrom(Operation::SaveAs), "Wynik_Hdr_"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    JobHarness h(*env_, c.failWhen);
    const std::string input = h.folder.File("klienci.xlsx");
    std::ofstream(input) << "to nie jest skoroszyt";
    h.host.filesToOpen.push_back(input);
    auto ctx = h.Context();
    EXPECT_NO_THROW(jobs::RunNipListJob(ctx));

    ASSERT_EQ(h.host.Texts("error").size(), 1u);
    EXPECT_THAT(h.host.Texts("error")[0], HasSubstr(c.error));
    EXPECT_EQ(h.host.output.back(), h.host.Texts("error")[0]);
    std::ifstream in(input);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "to nie jest skoroszyt");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(h.folder.Path()), {}), 1);
    EXPECT_EQ(h.state.resultPath, "");
    EXPECT_FALSE(h.state.inputSpreadsheetOpen);
    EXPECT_EQ(h.state.inputSpreadsheet, nullptr);
    EXPECT_EQ(h.state.result.application, nullptr);
  }
}

// The user's own columns B and C are kept in a copy of the input before the run writes over them;
// an input whose B and C hold an earlier run's annotations, or nothing, gets no copy.
TEST_F(NipListJobTest, TheUsersOwnColumnsAreKeptInACopyBeforeTheFirstAnnotation) {
  namespace fs = std::filesystem;
  JobHarness h(*env_);
  const std::string input = h.folder.File("klienci.xlsx");
  WriteWorkbook(input, {{"NIP", "Nazwa klienta", "Uwagi handlowca"},
                        {cast_.rich->NIP, "", ""},
                        {cast_.unknownNip, "Hurtownia Zorza", "dzwonić po 15"}});
  const std::string original = test::ReadFile(input);
  h.host.filesToOpen.push_back(input);
  auto ctx = h.Context();
  jobs::RunNipListJob(ctx);

  const std::string copy = jobs::UserColumnsCopyPath(input, h.host.now);
  EXPECT_EQ(fs::path(copy).filename().string().rfind("klienci (kopia ", 0), 0u);
  ASSERT_TRUE(fs::exists(copy));
  EXPECT_EQ(test::ReadFile(copy), original);
  EXPECT_THAT(h.host.output,
              testing::Contains(HasSubstr("kopia skoroszytu sprzed zmian: " + copy)));
  EXPECT_EQ(ReadSheet(input).at(2).at(2), "BRAK");  // annotated as ever

  // A second run meets only its own annotations: no second copy.
  fs::remove(copy);
  h.host.filesToOpen.push_back(input);
  jobs::RunNipListJob(ctx);
  EXPECT_FALSE(fs::exists(copy));
  for (const auto& entry : fs::directory_iterator(h.folder.Path()))
    EXPECT_EQ(entry.path().filename().string().find("kopia"), std::string::npos) << entry.path();
}

// A transient failure (an overloaded gateway's 503) is tried twice more before the record is
// marked, and one that passes on a new try leaves an ordinary row; a SOAP fault is final.
TEST_F(NipListJobTest, TransientFailuresAreTriedAgainAndFaultsAreNot) {
  const auto& once = env_->Data().At(2);
  ASSERT_EQ(env_->InjectFault("http-503", once.NumerReferencyjny(), 1), 200);
  struct Case {
    std::string nip;
    std::string outcomePrefix;
    long requests;  // searches and fetches the record costs
  };
  const Case cases[] = {
      {once.NIP, once.FirmaNazwa, 3},
      {cast_.fetchFault->NIP, kDetailsFailed, 4},
      {cast_.searchFault->NIP, "WYSZUKIWANIE W GITD ZAKOŃCZYŁO SIĘ BŁĘDEM: ", 1},
  };
  for (const Case& c : cases) {
    JobHarness h(*env_);
    const long before = env_->Requests();
    const std::string input = Run(h, {c.nip});
    EXPECT_EQ(env_->Requests() - before, c.requests) << c.nip;
    EXPECT_EQ(ReadSheet(input)[1][2].rfind(c.outcomePrefix, 0), 0u) << ReadSheet(input)[1][2];
  }
}

// Not one look-up succeeded: the run ends with the error box instead of a warning.
TEST_F(NipListJobTest, ARunWhoseEveryLookUpFailedEndsWithAnErrorBox) {
  JobHarness h(*env_);
  Run(h, {cast_.searchFault->NIP, "123", cast_.fetchFault->NIP});
  EXPECT_TRUE(h.host.Texts("run-warning").empty());
  ASSERT_EQ(h.host.Texts("run-error").size(), 1u);
  EXPECT_THAT(h.host.Texts("run-error")[0],
              HasSubstr("błędne: 1, powtórzone: 0, błędy wyszukiwania: 1, "
                        "błędy pobierania szczegółów: 1"));
  EXPECT_EQ(h.host.Texts("error").size(), 0u);
}

TEST_F(NipListJobTest, TwoRunsInTheSameSecondWriteTwoResults) {
  JobHarness h(*env_);
  Run(h, {cast_.rich->NIP});
  Run(h, {cast_.unknownNip});
  const std::string first = ResultPath(h);
  const std::string second = first.substr(0, first.size() - 5) + "_2.xlsx";
  EXPECT_EQ(ReadSheet(first).at(1).at(1), cast_.rich->FirmaNazwa);
  EXPECT_EQ(ReadSheet(second).at(1).at(1), "BRAK w GITD");
  EXPECT_THAT(h.host.output, testing::Contains("Plik wynikowy: " + second));
}

// The workbook a link points to is the one annotated; the link stays a link.
TEST_F(NipListJobTest, AnInputGivenThroughALinkIsAnnotatedWhereItLies) {
  JobHarness h(*env_);
  const std::filesystem::path real = h.folder / "dane" / "klienci.xlsx";
  std::filesystem::create_directories(real.parent_path());
  WriteWorkbook(real.string(), {{"NIP"}, {cast_.rich->NIP}});
  const std::filesystem::path link = h.folder / "skrot.xlsx";
  std::filesystem::create_symlink(real, link);
  h.host.filesToOpen.push_back(link.string());
  auto ctx = h.Context();
  jobs::RunNipListJob(ctx);

  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(ReadSheet(real.string()).at(1).at(2), cast_.rich->FirmaNazwa);
  EXPECT_EQ(h.host.Texts("error").size(), 0u);
}

// A file or folder that cannot be written is found before the first look-up, not at the first
// save; nothing is changed and the error names the file.
TEST_F(NipListJobTest, AnInputThatCannotBeWrittenIsRefusedBeforeAnyLookUp) {
  namespace fs = std::filesystem;
  struct Case {
    const char* what;
    fs::perms input;
    fs::perms folder;
  };
  const fs::perms rw = fs::perms::owner_read | fs::perms::owner_write;
  const fs::perms rwx = fs::perms::owner_all;
  const fs::perms rx = fs::perms::owner_read | fs::perms::owner_exec;
  for (const Case& c :
       {Case{"read-only input", fs::perms::owner_read, rwx}, Case{"read-only folder", rw, rx}}) {
    JobHarness h(*env_);
    const fs::path folder = h.folder / "klienci";
    fs::create_directories(folder);
    const std::string input = (folder / "klienci.xlsx").string();
    WriteWorkbook(input, {{"NIP"}, {cast_.rich->NIP}});
    fs::permissions(input, c.input);
    fs::permissions(folder, c.folder);
    const long before = env_->Requests();
    h.host.filesToOpen.push_back(input);
    auto ctx = h.Context();
    jobs::RunNipListJob(ctx);
    fs::permissions(folder, rwx);

    EXPECT_EQ(env_->Requests(), before) << c.what;
    ASSERT_EQ(h.host.Texts("error").size(), 1u) << c.what;
    EXPECT_THAT(h.host.Texts("error")[0], HasSubstr(input)) << c.what;
    EXPECT_EQ(ReadSheet(input).at(1).size(), 1u) << c.what;
    EXPECT_EQ(fs::status(input).permissions() & fs::perms::all, c.input) << c.what;
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), {}), 1) << c.what;
  }
}

TEST_F(NipListJobTest, CancellingTheFileDialogEndsTheRunQuietly) {
  JobHarness h(*env_);
  h.host.filesToOpen.push_back(std::nullopt);
  auto ctx = h.Context();
  jobs::RunNipListJob(ctx);
  EXPECT_TRUE(h.host.output.empty());
  EXPECT_FALSE(h.state.inputSpreadsheetOpen);
  EXPECT_TRUE(std::filesystem::is_empty(h.folder.Path()));
}

}  // namespace
}  // namespace zelvor::test
