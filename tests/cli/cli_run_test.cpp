// zelvor-cli as a user runs it: a child process against the simulators on loopback.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/cli_process.h"
#include "support/register_environment.h"
#include "support/workbook_files.h"
#include "vies-sim/synthetic_traders.h"
#include "zelvor/build_settings.h"

namespace zelvor::test {
namespace {

namespace fs = std::filesystem;
using testing::ElementsAre;
using testing::HasSubstr;
using testing::Not;
using testing::StartsWith;

constexpr const char* kInvalid = "BŁĘDNY NUMER NIP - błąd sumy kontrolnej";

std::string Day(const soap::CalendarDate& date) {
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year, date.month, date.day);
  return text;
}

class CliRunTest : public testing::Test {
 protected:
  static void SetUpTestSuite() { env_ = new RegisterEnvironment(); }
  static void TearDownTestSuite() {
    delete env_;
    env_ = nullptr;
  }

  // The arguments followed by the options that point a run at the simulator.
  static std::vector<std::string> AtSim(std::vector<std::string> args,
                                        const RegisterEnvironment& env = *env_) {
    args.insert(args.end(), {"--register", env.Url(), "--store", env.StoreFolder().string()});
    return args;
  }

  static inline RegisterEnvironment* env_ = nullptr;
};

TEST_F(CliRunTest, ListRunAnnotatesTheInputInPlaceAndSavesTheResultBesideIt) {
  ScratchFolder folder;
  const auto& found = env_->Data().At(0);
  const std::string input =
      NumbersInput(folder.Path(), {found.NIP, UnknownValidNip(env_->Data()), "123"});
  const CliRun run = RunCli(AtSim({"list", input}));
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");

  const std::vector<std::string> lines = Lines(run.out);
  ASSERT_EQ(lines.size(), 8u) << run.out;  // three records, summary, result, end, two paths
  EXPECT_THAT(lines[3], StartsWith("PODSUMOWANIE: rekordy: 3, znalezione: 1, nieznalezione: 1, "));
  EXPECT_EQ(lines[5], "KONIEC");
  EXPECT_EQ(lines[6], "annotated: " + input);
  const std::string result = Reported(run.out, "result");
  EXPECT_EQ(fs::path(result).parent_path(), folder.Path());
  EXPECT_THAT(fs::path(result).filename().string(), StartsWith("Wynik_Hdr_"));

  const SheetRows annotated = ReadSheet(input);
  ASSERT_EQ(annotated.size(), 4u);
  EXPECT_THAT(annotated[1], ElementsAre(found.NIP, found.NIP, found.FirmaNazwa));
  EXPECT_EQ(annotated[2][2], "BRAK");
  EXPECT_EQ(annotated[3][2], kInvalid);

  EXPECT_THAT(SheetNames(result), ElementsAre("HDR", "DET"));
  const SheetRows hdr = ReadSheet(result);
  ASSERT_EQ(hdr.size(), 4u);
  EXPECT_EQ(hdr[1][3], found.NumerReferencyjny());
  EXPECT_EQ(hdr[2][1], "BRAK w GITD");
}

TEST_F(CliRunTest, ListRunWithAnOutputFolderWorksOnACopyAndNeverOverwritesOne) {
  ScratchFolder folder;
  const auto& found = env_->Data().At(1);
  // The user's own column B: the original stays as it is, so no copy of it is kept.
  const std::string original = folder.File("klienci.xlsx");
  WriteWorkbook(original, {{"NIP", "Nazwa klienta"}, {found.NIP, "Hurtownia"}});
  const fs::path out = folder.Path() / "wyniki" / "marzec";  // made by the run
  const auto args = AtSim({"list", original, "--output", out.string(), "--no-progress"});

  const CliRun run = RunCli(args);
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string copy = (out / "klienci.xlsx").string();
  EXPECT_EQ(Reported(run.out, "annotated"), copy);
  EXPECT_EQ(fs::path(Reported(run.out, "result")).parent_path(), out);
  EXPECT_THAT(ReadSheet(original), ElementsAre(ElementsAre("NIP", "Nazwa klienta"),
                                               ElementsAre(found.NIP, "Hurtownia")));
  EXPECT_THAT(ReadSheet(copy)[1], ElementsAre(found.NIP, found.NIP, found.FirmaNazwa));
  EXPECT_THAT(run.out, Not(HasSubstr("kopia")));
  for (const fs::path& dir : {folder.Path(), out})
    for (const auto& entry : fs::directory_iterator(dir))
      EXPECT_EQ(entry.path().filename().string().find("kopia"), std::string::npos);

  // The annotated copy of the first run is there now: the second run refuses to touch it.
  const CliRun again = RunCli(args);
  EXPECT_EQ(again.status, 1);
  EXPECT_THAT(again.err, HasSubstr("zelvor-cli: " + copy + " already exists"));
  EXPECT_EQ(again.out, "");
  EXPECT_EQ(ReadSheet(copy)[1].size(), 3u);
}

TEST_F(CliRunTest, PeriodRunSavesTheDatedWorkbookInTheOutputFolder) {
  const auto& data = env_->Data();
  const soap::CalendarDate day = data.BusyDays(2).at(0);
  const std::size_t certified = data.CertifiedBetween(day, day).size();
  ScratchFolder folder;
  const CliRun run = RunCli(AtSim({"period", Day(day), Day(day), "--output", folder.File("o")}));
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  const std::vector<std::string> lines = Lines(run.out);
  EXPECT_EQ(lines.front(), "Data=" + Day(day));
  const std::string result = Reported(run.out, "result");
  EXPECT_EQ(lines.back(), "result: " + result);
  EXPECT_EQ(lines[lines.size() - 3], "Powstał zbiór: " + result);
  EXPECT_THAT(lines[lines.size() - 2], StartsWith("PODSUMOWANIE: dni: 1, dni z błędem: 0, "));
  const std::string stamp = Day(day).substr(0, 4) + Day(day).substr(5, 2) + Day(day).substr(8);
  EXPECT_THAT(result, StartsWith(folder.File("o") + "/Wynik_Day_Hdr-" + stamp + "-" + stamp));
  EXPECT_EQ(ReadSheet(result).size(), certified + 1);
}

TEST(CliVersion, IsTheBuildsVersion) {
  const CliRun run = RunCli({"--version"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, std::string("zelvor-cli ") + build::kVersion + "\n");
  EXPECT_THAT(std::string(build::kVersion), testing::MatchesRegex("[0-9]+\\.[0-9]+\\.[0-9]+"));
}

TEST_F(CliRunTest, ConnectionTest) {
  const CliRun passed = RunCli(AtSim({"test"}));
  EXPECT_EQ(passed.status, 0) << passed.err;
  const std::vector<std::string> lines = Lines(passed.out);
  ASSERT_EQ(lines.size(), 9u) << passed.out;
  EXPECT_THAT(lines[0], StartsWith("ilosc= "));
  EXPECT_THAT(lines[7], testing::MatchesRegex("[0-9]{4}-[0-9]{2}-[0-9]{2}"));  // ISO short date

  // Nothing listens on port 1: the failure is the run's last line and the error.
  const CliRun failed = RunCli({"test", "--register", "https://127.0.0.1:1/CitizenApi.svc",
                                "--store", env_->StoreFolder().string()});
  EXPECT_EQ(failed.status, 1);
  ASSERT_FALSE(Lines(failed.out).empty());
  EXPECT_EQ(failed.err, "zelvor-cli: " + Lines(failed.out).back() + "\n");
}

TEST_F(CliRunTest, FailedRunsAndWrongCommandLines) {
  ScratchFolder folder;
  const std::string notAWorkbook = folder.File("notatki.xlsx");
  std::ofstream(notAWorkbook) << "not a workbook\n";
  const std::string missing = folder.File("brak.xlsx");
  const std::string readOnly = NumbersInput(folder.Path(), {env_->Data().At(0).NIP});
  fs::permissions(readOnly, fs::perms::owner_read);
  const std::string noStore = folder.File("magazyn");
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string err;
  };
  const Case cases[] = {
      {AtSim({"list", notAWorkbook}), 1,
       "zelvor-cli: Nie można otworzyć skoroszytu „notatki.xlsx”. "},
      {AtSim({"list", notAWorkbook}), 1, "(Cannot open workbook \"" + notAWorkbook},
      {AtSim({"list", missing}), 1, "zelvor-cli: cannot open " + missing + ": no such file"},
      {AtSim({"list", folder.Path().string()}), 1, ": not a file"},
      {AtSim({"list", readOnly}), 1, "zelvor-cli: Nie można zapisać skoroszytu „klienci.xlsx”. "},
      {AtSim({"list", readOnly}), 1, "(Cannot save workbook \"" + readOnly},
      {{"test", "--register", env_->Url(), "--store", noStore},
       1,
       "zelvor-cli: Nie ma folderu magazynu certyfikatów \"" + noStore + "\". Zaimportuj"},
      {{"list"}, 2, "usage: zelvor-cli list INPUT.xlsx"},
      {{"period", "2024-03-02", "2024-03-01"}, 2, "before the first day"},
      {{"raport"}, 2, "unknown command 'raport'"},
  };
  for (const Case& c : cases) {
    const CliRun run = RunCli(c.args);
    EXPECT_EQ(run.status, c.status) << c.args.at(0) << " " << run.err;
    EXPECT_THAT(run.err, HasSubstr(c.err));
    // None of them annotated its input.
    EXPECT_EQ(Reported(run.out, "annotated"), "") << run.out;
  }
  // A file that is no workbook is left as it was.
  std::ifstream kept(notAWorkbook);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "not a workbook\n");
}

// Rows 1 to `records` of the annotated input hold the firms found; the last may be the one whose
// call the stop ended in flight.
void ExpectFoundUpTo(const SheetRows& annotated, std::size_t records,
                     const RegisterEnvironment& env) {
  for (std::size_t r = 1; r <= records; ++r) {
    if (r == records && annotated[r].at(2) == "PRZERWANE PRZEZ UŻYTKOWNIKA") continue;
    EXPECT_EQ(annotated[r].at(2), env.Data().At(r - 1).FirmaNazwa) << r;
  }
}

TEST_F(CliRunTest, CtrlCStopsAfterTheCurrentRecordAndKeepsWhatWasWritten) {
  RegisterEnvironment slow({"--latency-ms", "150"});
  const std::vector<std::string> numbers = slow.FirstNumbers(40);
  ScratchFolder folder;
  const std::string input = NumbersInput(folder.Path(), numbers);
  // Two records logged: the run is well under way.
  const CliRun run =
      RunCli(AtSim({"list", input}, slow),
             {.interruptWhen = [](const std::string& out) { return Lines(out).size() >= 2; }});
  ASSERT_EQ(run.status, 130) << run.err;
  const std::vector<std::string> lines = Lines(run.out);
  ASSERT_GE(lines.size(), 5u);
  EXPECT_EQ(lines[lines.size() - 3], "KONIEC");
  const std::string result = Reported(run.out, "result");
  const std::size_t records = ReadSheet(result).size() - 1;
  EXPECT_GE(records, 2u);
  EXPECT_LT(records, numbers.size());
  EXPECT_EQ(lines.size(), records + 5);  // summary, result, end, two paths

  const SheetRows annotated = ReadSheet(input);
  ExpectFoundUpTo(annotated, records, slow);
  EXPECT_EQ(annotated[records + 1].size(), 1u);  // never reached
}

// Ctrl-C during an answer that would take 10 s ends that call at once: its record is marked as
// interrupted in both workbooks, the call is not tried again, and no later record is asked.
TEST_F(CliRunTest, CtrlCEndsTheCallInFlight) {
  RegisterEnvironment stalling;
  const std::vector<std::string> numbers = stalling.FirstNumbers(5);
  ASSERT_EQ(stalling.InjectFault("stall:10000", numbers[2], 1), 200);
  ScratchFolder folder;
  const std::string input = NumbersInput(folder.Path(), numbers);
  const CliRun run = RunCli(AtSim({"list", input, "--no-progress"}, stalling),
                            {.interruptWhen = [&](const std::string& out) {
                              return Lines(out).size() >= 2 && stalling.InFlight() == 1;
                            }});
  ASSERT_EQ(run.status, 130) << run.err;
  // The run ended while the simulator still held the answer back.
  EXPECT_EQ(stalling.InFlight(), 1);
  EXPECT_EQ(stalling.Requests(), 2 + 2 + 1);

  const SheetRows annotated = ReadSheet(input);
  ExpectFoundUpTo(annotated, 2, stalling);
  EXPECT_EQ(annotated[3].at(2), "PRZERWANE PRZEZ UŻYTKOWNIKA");
  EXPECT_EQ(annotated[4].size(), 1u);
  const SheetRows result = ReadSheet(Reported(run.out, "result"));
  ASSERT_EQ(result.size(), 4u);
  EXPECT_EQ(result[3].at(1), "PRZERWANE PRZEZ UŻYTKOWNIKA");
  EXPECT_THAT(run.out, HasSubstr("znalezione: 2, nieznalezione: 0, błędne: 0, powtórzone: 0, "
                                 "błędy wyszukiwania: 0, błędy pobierania szczegółów: 0, "
                                 "nieprzetworzone: 3"));
}

// The exit status tells a good run from one whose records failed, and from one where nothing
// succeeded, which fails the same way.
TEST_F(CliRunTest, RecordsThatFailedGiveExitStatusThree) {
  const auto& data = env_->Data();
  const auto& good = data.At(3);
  const auto& broken = data.At(4);
  RegisterEnvironment faulty({"--fault", broken.NumerReferencyjny() + "=soap-fault", "--fault",
                              data.At(5).NIP + "=soap-fault", "--fault",
                              data.At(7).NIP + "=soap-fault"});
  struct Case {
    std::vector<std::string> numbers;
    std::string summary;
    std::string lastOutcome;  // the start of column C of the last record
  };
  const Case cases[] = {
      {{good.NIP, broken.NIP},
       "znalezione: 1, nieznalezione: 0, błędne: 0, powtórzone: 0, "
       "błędy wyszukiwania: 0, błędy pobierania szczegółów: 1",
       "POBIERANIE SZCZEGÓŁÓW Z GITD ZAKOŃCZYŁO SIĘ BŁĘDEM: "},
      {{data.At(5).NIP, data.At(7).NIP},
       "znalezione: 0, nieznalezione: 0, błędne: 0, powtórzone: 0, "
       "błędy wyszukiwania: 2, błędy pobierania szczegółów: 0",
       "WYSZUKIWANIE W GITD ZAKOŃCZYŁO SIĘ BŁĘDEM: "},
  };
  for (const Case& c : cases) {
    ScratchFolder folder;
    const std::string input = NumbersInput(folder.Path(), c.numbers);
    const CliRun run = RunCli(AtSim({"list", input, "--no-progress"}, faulty));
    EXPECT_EQ(run.status, 3) << run.err;
    EXPECT_THAT(run.out, HasSubstr(c.summary));
    EXPECT_THAT(run.err, HasSubstr("Pierwszy błąd: "));
    EXPECT_EQ(ReadSheet(input)[2][2].rfind(c.lastOutcome, 0), 0u) << ReadSheet(input)[2][2];
  }
}

// A killed run keeps every row of its last 30-row save in both workbooks, which open, and the
// next run leaves no temporary file of the killed one behind.
TEST_F(CliRunTest, AKilledRunKeepsItsLastSaveOfBothWorkbooks) {
  RegisterEnvironment slow({"--latency-ms", "10"});
  const std::vector<std::string> numbers = slow.FirstNumbers(150);
  ScratchFolder folder;
  const std::string input = NumbersInput(folder.Path(), numbers);
  // Two register calls a found number: 65 numbers looked up, past the save after row 59.
  const CliRun run =
      RunCli(AtSim({"list", input, "--no-progress"}, slow),
             {.interruptWhen = [&](const std::string&) { return slow.Requests() >= 2 * 65; },
              .signal = SIGKILL});
  ASSERT_EQ(run.status, 128 + SIGKILL) << run.err;

  const SheetRows annotated = ReadSheet(input);
  std::size_t kept = 0;
  while (kept + 1 < annotated.size() && annotated[kept + 1].size() == 3) ++kept;
  EXPECT_GE(kept, 30u);
  EXPECT_LT(kept, numbers.size());
  for (std::size_t r = 1; r <= kept; ++r)
    EXPECT_EQ(annotated[r][2], slow.Data().At(r - 1).FirmaNazwa) << r;
  std::string result;
  for (const auto& entry : fs::directory_iterator(folder.Path()))
    if (entry.path().filename().string().starts_with("Wynik_Hdr_")) result = entry.path().string();
  ASSERT_NE(result, "");
  EXPECT_GE(ReadSheet(result).size(), 30u);

  const CliRun again = RunCli(AtSim({"list", input, "--no-progress"}, slow));
  EXPECT_EQ(again.status, 0) << again.err;
  for (const auto& entry : fs::directory_iterator(folder.Path()))
    EXPECT_FALSE(entry.path().extension() == ".tmp") << entry.path();
}

// SIGTERM and SIGHUP stop as Ctrl-C does: every record looked up is kept in both workbooks.
TEST_F(CliRunTest, SigtermAndSighupStopAndKeepEveryRecordLookedUp) {
  RegisterEnvironment slow({"--latency-ms", "100"});
  const std::vector<std::string> numbers = slow.FirstNumbers(40);
  for (const int signal : {SIGTERM, SIGHUP}) {
    ScratchFolder folder;
    const std::string input = NumbersInput(folder.Path(), numbers);
    const CliRun run =
        RunCli(AtSim({"list", input, "--no-progress"}, slow),
               {.interruptWhen = [](const std::string& out) { return Lines(out).size() >= 2; },
                .signal = signal});
    ASSERT_EQ(run.status, 128 + signal) << run.err;
    const std::size_t records = ReadSheet(Reported(run.out, "result")).size() - 1;
    EXPECT_GE(records, 2u);
    EXPECT_LT(records, numbers.size());
    const SheetRows annotated = ReadSheet(input);
    ExpectFoundUpTo(annotated, records, slow);
    EXPECT_EQ(annotated[records + 1].size(), 1u);  // never reached
  }
}

TEST(CliVatTest, RegisteredUnregisteredAndUnreachable) {
  const sim::SyntheticTraders traders(7);
  const std::string registered = traders.Numbers("PL", 1, true).at(0);
  const std::string unregistered = traders.Numbers("PL", 1, false).at(0);
  const sim::Trader trader = *traders.Lookup("PL", registered);
  SimProcess sim(ViesSimPath(), {"--seed", "7"});

  const CliRun valid = RunCli({"vat", "pl", registered, "DE", "123456789", "--vat", sim.Url()});
  ASSERT_EQ(valid.status, 0) << valid.err;
  // The date, then the trader; the address keeps its own line break, as the service sends it.
  EXPECT_THAT(valid.out, StartsWith("Data della richiesta: 20"));
  EXPECT_THAT(valid.out, testing::EndsWith("\nNazione: PL\nIdentificativo fiscale: " + registered +
                                           "\nRagione Sociale: " + trader.name +
                                           "\nIndirizzo: " + trader.Address() + "\n" +
                                           trader.street + "\n" + trader.postcode + "\n" +
                                           trader.city + "\n" + trader.companyType + "\n"));

  const CliRun invalid = RunCli({"vat", "PL", unregistered, "DE", "123456789", "--vat", sim.Url()});
  EXPECT_EQ(invalid.status, 0);
  EXPECT_EQ(invalid.out, "La Partita IVA " + unregistered +
                             " ricercata non è registrata come operatore Intracomunitario\n");

  const CliRun unreachable =
      RunCli({"vat", "PL", registered, "DE", "123456789", "--vat", "http://127.0.0.1:1/x"});
  EXPECT_EQ(unreachable.status, 1);
  EXPECT_THAT(unreachable.err, StartsWith("zelvor-cli: "));
}

}  // namespace
}  // namespace zelvor::test
