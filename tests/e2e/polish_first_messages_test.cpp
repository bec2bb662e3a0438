// Every failure a person can see (column C, the log, the output, the window's boxes, zelvor-cli's
// errors) starts with a Polish sentence; the text the error carried before follows in
// parentheses, once.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>

#include "jobs/nip_list_job.h"
#include "jobs/output_paths.h"
#include "jobs/period_job.h"
#include "register/register_transport.h"
#include "support/cli_process.h"
#include "support/job_harness.h"
#include "support/workbook_files.h"
#include "vies-sim/synthetic_traders.h"
#include "vies/vat_check.h"
#include "vies/vat_port_type.h"

namespace zelvor::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const std::string kSearchFailed = "WYSZUKIWANIE W GITD ZAKOŃCZYŁO SIĘ BŁĘDEM: ";
const std::string kDetailsFailed = "POBIERANIE SZCZEGÓŁÓW Z GITD ZAKOŃCZYŁO SIĘ BŁĘDEM: ";
const std::string kFirstError = "Pierwszy błąd: ";

// The text a person reads first: up to the first " (", where the error's own text begins.
std::string Head(const std::string& message) {
  return message.substr(0, message.find(" ("));
}

// Lower-case words of letters; bytes of UTF-8 letters count as letters.
std::vector<std::string> Words(const std::string& text) {
  std::vector<std::string> words(1);
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (std::isalpha(byte) || byte >= 0x80) {
      words.back() += static_cast<char>(std::tolower(byte));
    } else if (!words.back().empty()) {
      words.emplace_back();
    }
  }
  if (words.back().empty()) words.pop_back();
  return words;
}

bool HasPolishLetter(const std::string& text) {
  for (const char* letter :
       {"ą", "ć", "ę", "ł", "ń", "ó", "ś", "ź", "ż", "Ą", "Ć", "Ę", "Ł", "Ń", "Ó", "Ś", "Ź", "Ż"}) {
    if (text.find(letter) != std::string::npos) return true;
  }
  return false;
}

// True when a person reads Polish first: the head has a Polish letter or word and no English
// word. ("data", "folder", "to" and "no" are Polish words too.)
bool PolishFirst(const std::string& message) {
  static const std::set<std::string> english{
      "the",        "is",        "are",       "not",         "cannot",  "could",   "error",
      "failed",     "invalid",   "received",  "expected",    "found",   "file",    "workbook",
      "sending",    "receiving", "response",  "length",      "content", "maximum", "exceeded",
      "server",     "unable",    "operation", "spreadsheet", "of",      "answer",  "certificate",
      "connection", "request",   "save",      "open",        "read",    "only"};
  static const std::set<std::string> polish{"nie", "brak", "serwer", "rejestr", "adres", "plik"};
  const std::string head = Head(message);
  const std::vector<std::string> words = Words(head);
  if (words.empty()) return false;
  if (std::any_of(words.begin(), words.end(), [](const auto& w) { return english.contains(w); }))
    return false;
  return HasPolishLetter(head) ||
         std::any_of(words.begin(), words.end(), [](const auto& w) { return polish.contains(w); });
}

// A sentence put before a text that already carries it would show twice.
bool WrappedOnce(const std::string& message) {
  const std::string head = Head(message);
  return message.find(head, head.size()) == std::string::npos;
}

// Checks one visible message and counts it, so that a run that showed none is noticed.
struct Checker {
  int checked = 0;

  void operator()(const std::string& where, const std::string& message) {
    ++checked;
    EXPECT_TRUE(PolishFirst(message)) << where << ": " << message;
    EXPECT_TRUE(WrappedOnce(message)) << where << ": " << message;
  }

  // The part of each text after the first occurrence of `prefix`.
  void After(const std::string& where, const std::vector<std::string>& texts,
             const std::string& prefix) {
    for (const std::string& text : texts) {
      if (const std::size_t at = text.find(prefix); at != std::string::npos) {
        (*this)(where, text.substr(at + prefix.size()));
      }
    }
  }

  // Everything a job showed through the host.
  void Host(const ScriptedHost& host) {
    for (const ScriptedHost::Event& event : host.events) {
      if (event.kind == "error") (*this)("error box", event.text);
      if (event.kind.starts_with("run-")) After("run box", {event.text}, kFirstError);
    }
    After("output", host.output, kSearchFailed);
    After("output", host.output, kDetailsFailed);
    // The period job's numbered and plain failure lines, the error after its prefix.
    static const std::regex failureLine(
        "^(#00[4-79] Excel - błąd zapisu|#0(08|10|11) API - [^:]+: \\S+ |Błąd zapisu: |"
        "Błąd pobierania szczegółów: |Błąd: MyPrzedsiebiorcaSzczegoloweDaneWyszukaneTyp )(.+)$");
    for (const std::string& line : host.log) {
      std::smatch match;
      if (std::regex_match(line, match, failureLine)) (*this)("log", match[3].str());
    }
  }
};

TEST(PolishFirstPredicate, TellsAPolishSentenceFromAnEnglishText) {
  const std::vector<std::pair<std::string, bool>> cases{
      {"Serwer usługi przysłał pustą odpowiedź. (Invalid HTTP Response: Length is 0)", true},
      {"Invalid HTTP Response: Length is 0", false},
      // Polish letters in a path do not make an English sentence Polish.
      {"Cannot save workbook \"/tmp/żółw.xlsx\": the file is read-only", false},
      {"Error sending data: (7) Nie można połączyć", false},
      {"BRAK w GITD", true},
      {"PRZERWANE PRZEZ UŻYTKOWNIKA", true},
      {"Rejestr nie odpowiada (the server is down)", true},
      {"HTTP 503 (Service Unavailable)", false},
      {"Nie można zapisać: the file is read-only (x)", false},
      {"", false},
  };
  for (const auto& [message, polish] : cases) {
    EXPECT_EQ(PolishFirst(message), polish) << message;
  }
  EXPECT_TRUE(WrappedOnce("Błąd serwera. (Internal error)"));
  EXPECT_FALSE(WrappedOnce("Błąd serwera. (Błąd serwera. (Internal error))"));
}

// Every fault the simulators inject; those after which the call succeeds are in it too.
const std::vector<std::string> kFaults{"soap-fault", "other-fault",  "http-503",  "http-404",
                                       "http-301",   "empty",        "html",      "html-charset",
                                       "malformed",  "not-envelope", "redirect",  "redirect-loop",
                                       "stall:3000", "latency:20",   "truncated", "trickle:200"};

bool CallSucceeds(const std::string& fault) {
  return fault == "redirect" || fault.starts_with("latency");
}

// Waits short enough that a stall or a trickle ends a call within a second.
soap::HttpSettings ShortWaits() {
  soap::HttpSettings settings;
  settings.receiveTimeout = 500ms;
  settings.lowSpeedBytesPerSecond = 100;
  settings.lowSpeedTime = 500ms;
  return settings;
}

class PolishFirstMessages : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    const sim::SyntheticRegister data(RegisterEnvironment::kSeed, RegisterEnvironment::kSize);
    std::vector<std::string> args{"--stall-ms", "3000"};
    // Enterprise 1 + i fails its search with fault i, enterprise 1 + n + i its detail fetch, and
    // day i of the period its search.
    const std::size_t n = kFaults.size();
    firstDay_ = std::chrono::year{2021} / 3 / 1;
    for (std::size_t i = 0; i < n; ++i) {
      args.insert(args.end(), {"--fault", data.At(1 + i).NIP + "=" + kFaults[i]});
      args.insert(args.end(),
                  {"--fault", data.At(1 + n + i).NumerReferencyjny() + "=" + kFaults[i]});
      args.insert(args.end(), {"--fault", jobs::FormatDay(Day(i)) + "=" + kFaults[i]});
    }
    env_ = std::make_unique<RegisterEnvironment>(args);
  }
  static void TearDownTestSuite() { env_.reset(); }

  static std::chrono::year_month_day Day(std::size_t i) {
    return std::chrono::sys_days{firstDay_} + std::chrono::days{static_cast<int>(i)};
  }

  // The register transport as the window makes it, with short waits, on the given store.
  static std::shared_ptr<soap::HttpTransport> Transport(const fs::path& store) {
    reg::RegisterTransportSettings settings = reg::DefaultRegisterTransportSettings();
    settings.url = env_->Url();
    settings.storeFolder = store;
    settings.http = ShortWaits();
    return reg::MakeRegisterTransport(std::move(settings));
  }

  // Runs the list job on the input; an error that ends it goes where the window shows it.
  static void RunListOn(JobHarness& h, const std::string& input) {
    h.host.filesToOpen.push_back(input);
    auto ctx = h.Context();
    try {
      jobs::RunNipListJob(ctx);
    } catch (const std::exception& e) {
      h.host.ShowError(e.what());
    }
  }

  // Runs the list job on these numbers; the input's path.
  static std::string RunList(JobHarness& h, const std::vector<std::string>& numbers) {
    const std::string input = NumbersInput(h.folder.Path(), numbers);
    RunListOn(h, input);
    return input;
  }

  static inline std::unique_ptr<RegisterEnvironment> env_;
  static inline std::chrono::year_month_day firstDay_;
};

TEST_F(PolishFirstMessages, EveryFaultOfTheRegisterInColumnCTheOutputAndTheRunBox) {
  JobHarness h(*env_);
  h.state.registerTransport = Transport(env_->StoreFolder());
  const std::size_t n = kFaults.size();
  std::vector<std::string> numbers;
  for (std::size_t i = 0; i < 2 * n; ++i) numbers.push_back(env_->Data().At(1 + i).NIP);
  const SheetRows annotated = ReadSheet(RunList(h, numbers));
  ASSERT_EQ(annotated.size(), 2 * n + 1);

  Checker check;
  for (std::size_t i = 0; i < 2 * n; ++i) {
    const std::string& fault = kFaults[i % n];
    SCOPED_TRACE(fault + (i < n ? " on the search" : " on the detail fetch"));
    const std::string prefix = i < n ? kSearchFailed : kDetailsFailed;
    const std::string c = annotated[1 + i].size() > 2 ? annotated[1 + i][2] : "";
    if (CallSucceeds(fault)) {
      EXPECT_FALSE(c.starts_with(prefix)) << c;
      continue;
    }
    ASSERT_TRUE(c.starts_with(prefix)) << c;
    check("column C", c.substr(prefix.size()));
  }
  check.Host(h.host);
  EXPECT_THAT(h.host.events,
              testing::Contains(testing::Field(&ScriptedHost::Event::kind, "run-warning")));
  // Column C and the output line of each failed record, and the run box.
  EXPECT_GE(check.checked, 4 * static_cast<int>(n - 2));
}

TEST_F(PolishFirstMessages, EveryFaultOfTheRegisterInThePeriodLog) {
  JobHarness h(*env_);
  h.state.registerTransport = Transport(env_->StoreFolder());
  h.host.firstDay = Day(0);
  h.host.lastDay = Day(kFaults.size() - 1);
  h.host.confirmProposedSave = true;
  h.host.answers.push_back(false);
  auto ctx = h.Context();
  jobs::RunPeriodJob(ctx);

  Checker check;
  check.Host(h.host);
  // One #008 line for each day whose search failed, and the run box.
  EXPECT_GE(check.checked, static_cast<int>(kFaults.size() - 2));
}

TEST_F(PolishFirstMessages, EveryFaultOfTheVatService) {
  const sim::SyntheticTraders traders(7);
  const std::vector<std::string> numbers = traders.Numbers("PL", kFaults.size() + 1, true);
  std::vector<std::string> args{"--seed", "7", "--stall-ms", "3000"};
  for (std::size_t i = 0; i < kFaults.size(); ++i) {
    args.insert(args.end(), {"--fault", "PL" + numbers[1 + i] + "=" + kFaults[i]});
  }
  SimProcess sim(ViesSimPath(), args);
  soap::HttpTransport transport(sim.Url(), ShortWaits());
  Checker check;
  for (std::size_t i = 0; i < kFaults.size(); ++i) {
    SCOPED_TRACE(kFaults[i]);
    const vies::VatQuery query{"PL", numbers[1 + i], "PL", numbers[0]};
    try {
      vies::CheckVat(*transport.As<vies::VatPortType>(), query);
      EXPECT_TRUE(CallSucceeds(kFaults[i]));
    } catch (const std::exception& e) {
      EXPECT_FALSE(CallSucceeds(kFaults[i]));
      check("VAT check", e.what());
    }
  }
  EXPECT_EQ(check.checked, static_cast<int>(kFaults.size() - 2));
}

TEST_F(PolishFirstMessages, WorkbookAndSaveFailures) {
  const std::string found = env_->Data().At(0).NIP;
  Checker check;
  {
    SCOPED_TRACE("an input that is no workbook");
    JobHarness h(*env_);
    const std::string input = h.folder.File("klienci.xlsx");
    std::ofstream(input) << "NIP;1234567890\n";
    RunListOn(h, input);
    check.Host(h.host);
  }
  {
    SCOPED_TRACE("a folder where the result would be saved");
    JobHarness h(*env_);
    fs::create_directories(jobs::ListJobOutputPath(h.folder.File("klienci.xlsx"), h.host.now));
    RunList(h, {found});
    check.Host(h.host);
  }
  {
    SCOPED_TRACE("the spreadsheet component failing to save the result");
    JobHarness h(*env_, FailingFactory::FailFrom(Operation::SaveAs, 2));
    RunList(h, {found});
    check.Host(h.host);
  }
  {
    SCOPED_TRACE("the period job's spreadsheet failures");
    JobHarness h(*env_, [](const OperationCall& c) {
      return c.operation == Operation::SetCell && c.sheet == "HDR";
    });
    h.host.firstDay = h.host.lastDay = Day(0);
    h.host.confirmProposedSave = true;
    h.host.answers.push_back(false);
    auto ctx = h.Context();
    jobs::RunPeriodJob(ctx);
    check.Host(h.host);
  }
  // The opening's error box and its output line, the save's, the injected save's and the
  // period's #009 line.
  EXPECT_GE(check.checked, 5);
}

TEST_F(PolishFirstMessages, AStoreThatCannotBeUsed) {
  // A private key that others may read is refused before anything is sent.
  const ScratchFolder store;
  fs::copy(env_->StoreFolder(), store.Path(), fs::copy_options::recursive);
  for (const auto& entry : fs::recursive_directory_iterator(store.Path())) {
    if (entry.is_regular_file()) {
      fs::permissions(entry.path(), fs::perms::others_read, fs::perm_options::add);
    }
  }
  JobHarness h(*env_);
  h.state.registerTransport = Transport(store.Path());
  const SheetRows annotated = ReadSheet(RunList(h, {env_->Data().At(0).NIP}));
  // The record's cell, or the run's error box when the run ends for it.
  Checker check;
  for (const std::vector<std::string>& row : annotated) {
    if (row.size() > 2 && row[2].starts_with(kSearchFailed)) {
      check("column C", row[2].substr(kSearchFailed.size()));
    }
  }
  check.Host(h.host);
  EXPECT_GE(check.checked, 1);
}

TEST_F(PolishFirstMessages, TheRunnersErrors) {
  Checker check;
  const auto stderrLines = [&](const CliRun& run) {
    for (const std::string& line : Lines(run.err)) {
      if (line.starts_with(kFirstError)) {
        check("zelvor-cli", line.substr(kFirstError.size()));
      } else if (line.starts_with("zelvor-cli: ") &&
                 !line.starts_with("zelvor-cli: PODSUMOWANIE")) {
        check("zelvor-cli", line.substr(std::string("zelvor-cli: ").size()));
      }
    }
  };
  // The runner's own waits are the program's: only faults that fail at once.
  const ScratchFolder folder;
  std::vector<std::string> numbers;
  for (std::size_t i = 0; i < kFaults.size(); ++i) {
    if (!CallSucceeds(kFaults[i]) && !kFaults[i].starts_with("stall") &&
        !kFaults[i].starts_with("trickle")) {
      numbers.push_back(env_->Data().At(1 + i).NIP);
    }
  }
  const std::string input = NumbersInput(folder.Path(), numbers);
  const CliRun list = RunCli({"list", input, "--register", env_->Url(), "--store",
                              env_->StoreFolder().string(), "--no-progress"});
  EXPECT_EQ(list.status, 3) << list.err;
  stderrLines(list);
  for (const std::vector<std::string>& row : ReadSheet(input)) {
    if (row.size() > 2 && row[2].starts_with(kSearchFailed)) {
      check("column C of zelvor-cli's run", row[2].substr(kSearchFailed.size()));
    }
  }

  const sim::SyntheticTraders traders(7);
  const std::string number = traders.Numbers("PL", 1, true).at(0);
  SimProcess sim(ViesSimPath(), {"--seed", "7", "--fault", "PL" + number + "=html"});
  const CliRun vat = RunCli({"vat", "PL", number, "DE", "123456789", "--vat", sim.Url()});
  EXPECT_EQ(vat.status, 1);
  stderrLines(vat);
  // The run box, a column C cell for each number, and the VAT check's error.
  EXPECT_GE(check.checked, static_cast<int>(numbers.size()) + 2);
}

}  // namespace
}  // namespace zelvor::test
