// The period download job against the register simulator, and against a register whose
// answers the test writes where the simulator cannot show a case.
#include "jobs/period_job.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "jobs/output_paths.h"
#include "soap/remote_errors.h"
#include "support/job_harness.h"
#include "support/workbook_files.h"

namespace zelvor::test {
namespace {

using std::chrono::year_month_day;
using testing::Contains;
using testing::ElementsAre;
using testing::HasSubstr;
using testing::StartsWith;

const std::string kRule(66, '=');

year_month_day Ymd(soap::CalendarDate d) {
  return std::chrono::year{d.year} / d.month / d.day;
}

year_month_day FirstCertificateDay(const reg::PrzedsiebiorcaSzczegoloweDaneWyszukaneTyp& e) {
  return Ymd(e.ListaZarzadzajacyTransportemDaneWyszukane().front()->DataWydaniaCertyfikatu->Date());
}

year_month_day Plus(year_month_day day, int days) {
  return std::chrono::sys_days{day} + std::chrono::days{days};
}

std::size_t IndexOf(const std::vector<std::string>& lines, const std::string& line) {
  return std::size_t(std::find(lines.begin(), lines.end(), line) - lines.begin());
}

class PeriodJobTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    const sim::SyntheticRegister data(RegisterEnvironment::kSeed, RegisterEnvironment::kSize);
    faultDay_ = Plus(FirstCertificateDay(data.At(0)), 1);
    env_ = new RegisterEnvironment({"--fault", jobs::FormatDay(faultDay_) + "=soap-fault"});
  }
  static void TearDownTestSuite() {
    delete env_;
    env_ = nullptr;
  }

  static const sim::SyntheticRegister& Data() { return env_->Data(); }

  // Runs the job over [first, last], saving where proposed and answering the question.
  static void Run(JobHarness& h, year_month_day first, year_month_day last, bool open = false) {
    h.host.firstDay = first;
    h.host.lastDay = last;
    h.host.confirmProposedSave = true;
    h.host.answers.push_back(open);
    auto ctx = h.Context();
    jobs::RunPeriodJob(ctx);
  }

  static std::string ResultPath(const JobHarness& h) {
    return jobs::PeriodJobOutputPath(h.host.documentsFolder, h.host.firstDay, h.host.lastDay,
                                     h.host.now);
  }

  static RegisterEnvironment* env_;
  static year_month_day faultDay_;
};

RegisterEnvironment* PeriodJobTest::env_ = nullptr;
year_month_day PeriodJobTest::faultDay_;

TEST_F(PeriodJobTest, WalksTheDaysAndWritesAnEnterpriseFoundTwiceOnce) {
  JobHarness h(*env_);
  const auto& rich = Data().At(0);
  const year_month_day first = FirstCertificateDay(rich);
  Run(h, first, Plus(first, 2), true);

  const auto& log = h.host.log;
  EXPECT_THAT(std::vector(log.begin(), log.begin() + 5),
              ElementsAre("Data=" + jobs::FormatDay(first), "#001 Excel - uruchamianie",
                          "#002 Excel - uruchomiony poprawnie", "data1=" + jobs::FormatDay(first),
                          "data2=" + jobs::FormatDay(first)));
  EXPECT_LT(IndexOf(log, "Data=" + jobs::FormatDay(Plus(first, 1))),
            IndexOf(log, "Data=" + jobs::FormatDay(Plus(first, 2))));
  // The middle day's search fails: the run says so in its summary and in a warning, and still
  // offers the file, which holds the other days' enterprises.
  EXPECT_EQ(log[log.size() - 2], "Powstał zbiór: " + ResultPath(h));
  EXPECT_THAT(log.back(), testing::StartsWith("PODSUMOWANIE: dni: 3, dni z błędem: 1, "
                                              "zapisani przedsiębiorcy: "));
  EXPECT_THAT(h.host.Texts("run-warning"), ElementsAre(HasSubstr("Pierwszy błąd: ")));
  EXPECT_THAT(h.host.Texts("question"),
              ElementsAre("Powstał zbiór: " + ResultPath(h) + ". Czy chcesz go otworzyć ?"));
  EXPECT_THAT(h.host.Texts("open"), ElementsAre(ResultPath(h)));

  // The rich enterprise: once, on its first day, with its last manager and its first licence.
  std::set<std::size_t> expected;
  for (int d = 0; d <= 2; ++d) {
    const auto day = Plus(first, d);
    const soap::CalendarDate c{int(day.year()), int(unsigned(day.month())),
                               int(unsigned(day.day()))};
    if (day == faultDay_) continue;
    for (std::size_t i : Data().CertifiedBetween(c, c)) expected.insert(i);
  }
  const SheetRows hdr = ReadSheet(ResultPath(h), 1);
  // The fault day consumes one row of its own.
  ASSERT_EQ(hdr.size(), expected.size() + 2);
  EXPECT_THAT(std::vector(hdr[0].begin(), hdr[0].begin() + 6),
              ElementsAre("LP", "DataWyszukiwania", "FirmaNazwa", "NIP", "NumerReferencyjny",
                          "FormaPrawna"));
  int richRows = 0;
  for (std::size_t r = 1; r < hdr.size(); ++r) {
    EXPECT_EQ(hdr[r][0], std::to_string(r));
    if (hdr[r].size() > 3 && hdr[r][3] == rich.NIP) {
      ++richRows;
      EXPECT_EQ(hdr[r][1], jobs::FormatDay(first));
      EXPECT_EQ(hdr[r][6], rich.ListaZarzadzajacyTransportemDaneWyszukane().back()->Nazwisko);
      EXPECT_EQ(hdr[r][33], rich.ListaLicencjaWspolnotowaTyp().front()->Numer);
    }
  }
  EXPECT_EQ(richRows, 1);

  const SheetRows det = ReadSheet(ResultPath(h), 2);
  ASSERT_GE(det.size(), rich.ListaWypisowZLicencjiTyp().size() + 1);
  EXPECT_EQ(det[0][0], "NIP");
  EXPECT_EQ(det[1][0], hdr[1][3]);
}

TEST_F(PeriodJobTest, AFailedSearchTakesOneRowAndTheDayEnds) {
  JobHarness h(*env_);
  Run(h, faultDay_, faultDay_);
  const std::string prefix =
      "#008 API - błąd wyszukiwania date: " + jobs::FormatDay(faultDay_) + " ";
  const auto failures = h.host.Texts("log");
  const auto it = std::find_if(failures.begin(), failures.end(),
                               [&](const std::string& l) { return l.starts_with(prefix); });
  ASSERT_NE(it, failures.end());
  EXPECT_GT(it->size(), prefix.size());  // the register's fault text follows
  const SheetRows hdr = ReadSheet(ResultPath(h), 1);
  ASSERT_EQ(hdr.size(), 2u);
  EXPECT_THAT(hdr[1], ElementsAre("1", jobs::FormatDay(faultDay_), *it));
  EXPECT_TRUE(hdr[0].empty());  // the failure row writes no header line

  // Nothing succeeded: an error box with the first error, and no offer to open the file.
  EXPECT_THAT(h.host.Texts("run-error"),
              ElementsAre(HasSubstr("Pierwszy błąd: " + it->substr(prefix.size()))));
  EXPECT_TRUE(h.host.Texts("question").empty());
  EXPECT_EQ(h.host.Texts("log").back(),
            "PODSUMOWANIE: dni: 1, dni z błędem: 1, zapisani przedsiębiorcy: 0, "
            "przedsiębiorcy z błędem: 0");
}

TEST_F(PeriodJobTest, TheExcludedEnterpriseIsLoggedAndNothingElse) {
  JobHarness h(*env_);
  const auto& excluded = Data().At(Data().ExcludedIndex());
  ASSERT_EQ(excluded.NumerReferencyjny(), jobs::kExcludedReferenceNumber);
  const year_month_day day = FirstCertificateDay(excluded);
  Run(h, day, day);
  const auto& log = h.host.log;
  const std::size_t at = IndexOf(log, excluded.NumerReferencyjny());
  ASSERT_GE(at, 3u);
  ASSERT_LT(at + 1, log.size());
  EXPECT_EQ(log[at - 1], excluded.NIP);
  EXPECT_EQ(log[at - 2], excluded.FirmaNazwa);
  EXPECT_EQ(log[at - 3], kRule);
  EXPECT_TRUE(log[at + 1] == kRule || log[at + 1].starts_with("Powstał zbiór: ")) << log[at + 1];
  for (const auto& row : ReadSheet(ResultPath(h), 1)) {
    EXPECT_THAT(row, testing::Not(Contains(excluded.NIP)));
  }
}

TEST_F(PeriodJobTest, TheStopBoxEndsTheRunBeforeTheNextHit) {
  JobHarness h(*env_);
  // A day with at least two enterprises, so that the stop comes between two of its hits.
  year_month_day first{};
  for (const auto& day : Data().BusyDays(2)) {
    first = Ymd(day);
    if (first != faultDay_) break;
  }
  h.host.stopOnEventCall = 2;
  Run(h, first, Plus(first, 5));
  const auto& log = h.host.log;
  ASSERT_GE(log.size(), 5u);
  EXPECT_THAT(std::vector(log.end() - 5, log.end()),
              ElementsAre(kRule, "Pobieranie danych przerwane", "Powstał zbiór: " + ResultPath(h),
                          "Wyprowadzanie przez przerwane użytkownika",
                          "PODSUMOWANIE: dni: 1, dni z błędem: 0, zapisani przedsiębiorcy: 1, "
                          "przedsiębiorcy z błędem: 0"));
  EXPECT_EQ(IndexOf(log, "Data=" + jobs::FormatDay(Plus(first, 1))), log.size());
  const auto& events = h.host.events;
  const auto message =
      std::find(events.begin(), events.end(),
                ScriptedHost::Event{"message", "Wyprowadzanie przez przrwane użytkownika"});
  ASSERT_NE(message, events.end());
  const auto next = std::find_if(std::next(message), events.end(),
                                 [](const ScriptedHost::Event& e) { return e.kind != "log"; });
  ASSERT_NE(next, events.end());
  EXPECT_EQ(next->kind, "question");
  EXPECT_EQ(ReadSheet(ResultPath(h), 1).size(), 2u);  // the header and the first enterprise
}

TEST_F(PeriodJobTest, ALastDayBeforeTheFirstDoesNothing) {
  JobHarness h(*env_);
  h.host.log = {"z poprzedniego przebiegu"};
  Run(h, year_month_day{std::chrono::year{2020} / 5 / 2},
      year_month_day{std::chrono::year{2020} / 5 / 1});
  EXPECT_TRUE(h.host.log.empty());
  EXPECT_TRUE(h.host.Texts("question").empty());
  EXPECT_EQ(h.spreadsheets.Calls(Operation::Start), 0);
  EXPECT_TRUE(std::filesystem::is_empty(h.folder.Path()));
  EXPECT_FALSE(h.host.running[jobs::Action::PeriodJob]);
  EXPECT_EQ(h.host.waitCursorDepth, 0);
}

TEST_F(PeriodJobTest, TheSaveDialogProposesTheDatedNameAndCancelChangesNothing) {
  for (const std::string& documents : {std::string("/home/ala/Dokumenty"), std::string()}) {
    JobHarness h(*env_);
    h.host.documentsFolder = documents;
    h.host.log = {"z poprzedniego przebiegu"};
    h.host.firstDay = std::chrono::year{2024} / 1 / 2;
    h.host.lastDay = std::chrono::year{2024} / 1 / 3;
    h.host.now = std::chrono::local_days{std::chrono::year{2024} / 12 / 4} + std::chrono::hours{9};
    h.host.filesToSave.push_back(std::nullopt);
    auto ctx = h.Context();
    jobs::RunPeriodJob(ctx);
    EXPECT_THAT(
        h.host.proposedSaves,
        ElementsAre(documents + "/Wynik_Day_Hdr-20240102-20240103_2024_12_04_09_00_00.xlsx"));
    EXPECT_THAT(h.host.log, ElementsAre("z poprzedniego przebiegu"));
    EXPECT_TRUE(h.host.Texts("question").empty());
    EXPECT_EQ(h.spreadsheets.Calls(Operation::Start), 0);
    EXPECT_FALSE(h.host.running[jobs::Action::PeriodJob]);
  }
}

// Each numbered spreadsheet failure, on a day whose first enterprise has licence copies.
TEST_F(PeriodJobTest, SpreadsheetFailuresAreLoggedWithTheirNumbers) {
  struct Case {
    std::string logged;
    std::function<bool(const OperationCall&)> failWhen;
    bool runEnds;
  };
  const auto setCell = [](std::string sheet, int row) {
    return [sheet, row](const OperationCall& c) {
      return c.operation == Operation::SetCell && c.sheet == sheet && c.row == row;
    };
  };
  const std::vector<Case> cases{
      {"#003 Excel - błąd uruchomienia", FailingFactory::FailFrom(Operation::Start), true},
      {"#004 Excel - błąd zapisu", setCell("DET", 1), false},
      {"#005 Excel - błąd zapisu", setCell("DET", 2), false},
      {"#006 Excel - błąd zapisu", setCell("HDR", 1), false},
      {"#007 Excel - błąd zapisu", setCell("HDR", 2), false},
  };
  const year_month_day day = FirstCertificateDay(Data().At(0));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.logged);
    JobHarness h(*env_, c.failWhen);
    if (c.runEnds) {
      h.host.answers.push_back(false);
      h.host.firstDay = h.host.lastDay = day;
      h.host.confirmProposedSave = true;
      auto ctx = h.Context();
      EXPECT_THROW(jobs::RunPeriodJob(ctx), std::exception);
    } else {
      Run(h, day, day);
    }
    const auto log = h.host.log;
    const auto it = std::find_if(log.begin(), log.end(),
                                 [&](const std::string& l) { return l.starts_with(c.logged); });
    ASSERT_NE(it, log.end());
    if (!c.runEnds) {
      EXPECT_GT(it->size(), c.logged.size());  // the error's message follows
    }
    EXPECT_FALSE(h.host.running[jobs::Action::PeriodJob]);
    EXPECT_EQ(h.state.result.application, nullptr);
  }
}

TEST_F(PeriodJobTest, AFailedSearchRowThatCannotBeWrittenIsLogged) {
  JobHarness h(*env_, [](const OperationCall& c) {
    return c.operation == Operation::SetCell && c.sheet == "HDR" && c.row == 2;
  });
  Run(h, faultDay_, faultDay_);
  EXPECT_THAT(h.host.log, Contains(HasSubstr("#009 Excel - błąd zapisu")));
}

// A register whose answers the test writes: hits by day, details by reference number.
class WrittenRegister : public reg::CitizenApi {
 public:
  std::map<std::string, std::vector<std::array<std::string, 3>>> hitsByDay;
  std::map<std::string, int> failFetchNumber;  // the fetch (from 1) of a reference that fails
  std::map<std::string, int> fetches;
  // The reference whose fetch a stop ends in flight, and what ticks the stop box first.
  std::string stoppedFetchOf;
  std::function<void()> tickStopBox;

  reg::ListaPrzedsiebiorcowDaneWyszukaneTyp WyszukajPrzedsiebiorce(
      const reg::ParametryWyszukiwaniaPrzedsiebiorcowTyp& p) override {
    reg::ListaPrzedsiebiorcowDaneWyszukaneTyp hits;
    for (const auto& [firma, nip, ref] : hitsByDay[p.DataWydaniaCertyfikatuOd()->Text()]) {
      auto hit = std::make_unique<reg::PrzedsiebiorcaDaneWyszukaneTyp>();
      hit->FirmaNazwa = firma;
      hit->NIP = nip;
      hit->SetNumerReferencyjny(ref);
      hits.push_back(std::move(hit));
    }
    return hits;
  }
  std::unique_ptr<reg::PrzedsiebiorcaSzczegoloweDaneWyszukaneTyp> PobierzPrzedsiebiorce(
      const std::string& ref) override {
    if (++fetches[ref] == failFetchNumber[ref]) throw std::runtime_error("przerwane połączenie");
    if (ref == stoppedFetchOf) {
      tickStopBox();
      throw soap::ECallAborted();
    }
    auto details = std::make_unique<reg::PrzedsiebiorcaSzczegoloweDaneWyszukaneTyp>();
    details->SetFormaPrawna("spółka jawna");
    return details;
  }
};

// The register interface of a job context, answering from `written`.
std::function<std::unique_ptr<reg::CitizenApi>()> Answering(
    std::shared_ptr<WrittenRegister> written) {
  return [written] {
    struct Forward : reg::CitizenApi {
      std::shared_ptr<WrittenRegister> to;
      reg::ListaPrzedsiebiorcowDaneWyszukaneTyp WyszukajPrzedsiebiorce(
          const reg::ParametryWyszukiwaniaPrzedsiebiorcowTyp& p) override {
        return to->WyszukajPrzedsiebiorce(p);
      }
      std::unique_ptr<reg::PrzedsiebiorcaSzczegoloweDaneWyszukaneTyp> PobierzPrzedsiebiorce(
          const std::string& r) override {
        return to->PobierzPrzedsiebiorce(r);
      }
    };
    auto api = std::make_unique<Forward>();
    api->to = written;
    return api;
  };
}

// Runs the job over 2024-03-04 and 2024-03-05 against `written`, not opening the result.
void RunOverMarch4And5(JobHarness& h, const std::shared_ptr<WrittenRegister>& written) {
  auto ctx = h.Context();
  ctx.registerOverride = Answering(written);
  h.host.firstDay = std::chrono::year{2024} / 3 / 4;
  h.host.lastDay = std::chrono::year{2024} / 3 / 5;
  h.host.confirmProposedSave = true;
  h.host.answers.push_back(false);
  jobs::RunPeriodJob(ctx);
}

TEST_F(PeriodJobTest, ReferenceNumbersDifferingInCaseOrBlanksAreOneEnterprise) {
  JobHarness h(*env_);
  auto written = std::make_shared<WrittenRegister>();
  written->hitsByDay["2024-03-04"] = {{{"Alfa", "5261040828", "P/2019/00000123"}},
                                      {{"Alfa bis", "5261040828", " p/2019/00000123 "}}};
  written->hitsByDay["2024-03-05"] = {{{"Alfa", "5261040828", "P/2019/00000123\t"}},
                                      {{"Beta", "7740001454", "P/2020/00000456"}}};
  // Beta's second fetch fails: its row is dropped and the failure logged.
  written->failFetchNumber["P/2020/00000456"] = 2;
  RunOverMarch4And5(h, written);

  EXPECT_EQ(written->fetches["P/2019/00000123"], 2);  // fetched twice, for one enterprise only
  EXPECT_THAT(h.host.log,
              Contains("Błąd: MyPrzedsiebiorcaSzczegoloweDaneWyszukaneTyp przerwane połączenie"));
  const SheetRows hdr = ReadSheet(ResultPath(h), 1);
  ASSERT_EQ(hdr.size(), 2u);
  EXPECT_THAT(
      std::vector(hdr[1].begin(), hdr[1].begin() + 6),
      ElementsAre("1", "2024-03-04", "Alfa", "5261040828", "P/2019/00000123", "spółka jawna"));
}

// A stop that ends a detail fetch in flight: the enterprise is logged as interrupted and not
// counted as failed, the run ends as after a stop with no failure box, and the progress counted
// the enterprise written before it.
TEST_F(PeriodJobTest, AFetchEndedByAStopIsNoFailure) {
  JobHarness h(*env_);
  auto written = std::make_shared<WrittenRegister>();
  written->hitsByDay["2024-03-04"] = {{{"Alfa", "5261040828", "P/2019/00000123"}},
                                      {{"Beta", "7740001454", "P/2020/00000456"}},
                                      {{"Gamma", "5213017228", "P/2021/00000789"}}};
  written->stoppedFetchOf = "P/2020/00000456";
  written->tickStopBox = [&h] { h.host.SetStopBox(jobs::StopBox::Period, true); };
  RunOverMarch4And5(h, written);

  EXPECT_THAT(h.host.log, Contains("Błąd pobierania szczegółów: PRZERWANE PRZEZ UŻYTKOWNIKA"));
  EXPECT_EQ(h.host.log.back(),
            "PODSUMOWANIE: dni: 1, dni z błędem: 0, zapisani przedsiębiorcy: 1, "
            "przedsiębiorcy z błędem: 0");
  EXPECT_EQ(written->fetches.count("P/2021/00000789"), 0u);
  for (const ScriptedHost::Event& event : h.host.events)
    EXPECT_THAT(event.kind, testing::Not(StartsWith("run-"))) << event.text;
  EXPECT_THAT(h.host.progress, ElementsAre(jobs::JobProgress{jobs::Action::PeriodJob, 0, 2, 0},
                                           jobs::JobProgress{jobs::Action::PeriodJob, 0, 2, 1},
                                           jobs::JobProgress{jobs::Action::PeriodJob, 1, 2, 1}));
}

}  // namespace
}  // namespace zelvor::test
