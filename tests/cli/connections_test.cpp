// zelvor-cli list with several register connections: what it writes is what one connection writes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "support/cli_process.h"
#include "support/register_environment.h"
#include "support/workbook_files.h"

namespace zelvor::test {
namespace {

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at))
    text.replace(at, from.size(), to), at += to.size();
  return text;
}

// Everything a list run left behind, with its folder and the result's date-stamped name taken out.
struct ListRunOutput {
  int status = -1;
  std::string out, err;
  SheetRows annotated, summary, details;
};

ListRunOutput RunList(const RegisterEnvironment& env, const std::vector<std::string>& numbers,
                      int connections) {
  ScratchFolder folder;
  const std::string input = NumbersInput(folder.Path(), numbers);
  const CliRun run =
      RunCli({"list", input, "--no-progress", "--connections", std::to_string(connections),
              "--register", env.Url(), "--store", env.StoreFolder().string()});
  ListRunOutput output;
  output.status = run.status;
  const std::string result = Reported(run.out, "result");
  const auto neutral = [&](std::string text) {
    return ReplaceAll(ReplaceAll(text, result, "<result>"), folder.Path().string(), "<folder>");
  };
  output.out = neutral(run.out);
  output.err = neutral(run.err);
  output.annotated = ReadSheet(input);
  if (!result.empty()) {
    output.summary = ReadSheet(result, 1);
    output.details = ReadSheet(result, 2);
  }
  return output;
}

// Found, repeated, invalid and unknown numbers, a search that fails, a detail fetch that fails,
// and one that fails once for a transient reason and succeeds when tried again.
TEST(SeveralConnections, WriteWhatOneConnectionWrites) {
  RegisterEnvironment env({"--latency-ms", "20"});
  const auto& data = env.Data();
  ASSERT_EQ(env.InjectFault("soap-fault", data.At(5).NIP, 1000), 200);
  ASSERT_EQ(env.InjectFault("soap-fault", data.At(7).NumerReferencyjny(), 1000), 200);
  std::vector<std::string> numbers;
  for (std::size_t i = 0; i < 20; ++i) numbers.push_back(data.At(i).NIP);
  numbers.insert(numbers.begin() + 6, data.At(3).NIP);
  numbers.insert(numbers.begin() + 10, "1234567890");  // a wrong check digit
  numbers.insert(numbers.begin() + 14, "0000000000");  // not in the register
  const std::string transient = data.At(9).NumerReferencyjny();

  ASSERT_EQ(env.InjectFault("http-503", transient, 1), 200);
  const ListRunOutput one = RunList(env, numbers, 1);
  EXPECT_EQ(env.MaxInFlight(), 1);
  ASSERT_EQ(env.InjectFault("http-503", transient, 1), 200);
  const ListRunOutput four = RunList(env, numbers, 4);
  EXPECT_GT(env.MaxInFlight(), 1);  // the simulator served the connections side by side

  EXPECT_EQ(one.status, 3) << one.err;
  ASSERT_EQ(one.annotated.size(), numbers.size() + 1);
  const auto retried = std::find(numbers.begin(), numbers.end(), data.At(9).NIP) - numbers.begin();
  EXPECT_EQ(one.annotated[retried + 1][2], data.At(9).FirmaNazwa);  // tried again, and found
  EXPECT_EQ(four.status, one.status);
  EXPECT_EQ(four.out, one.out);
  EXPECT_EQ(four.err, one.err);
  EXPECT_EQ(four.annotated, one.annotated);
  EXPECT_EQ(four.summary, one.summary);
  EXPECT_EQ(four.details, one.details);
}

std::string Day(const soap::CalendarDate& date) {
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year, date.month, date.day);
  return text;
}

// A period whose days hold several enterprises, a detail fetch that fails and one that fails once
// for a transient reason.
TEST(SeveralConnections, APeriodRunWritesWhatOneConnectionWrites) {
  RegisterEnvironment env({"--latency-ms", "10"});
  const auto& data = env.Data();
  const std::vector<soap::CalendarDate> days = data.BusyDays(4);
  ASSERT_GE(days.size(), 2u);
  const std::vector<std::size_t> firstDay = data.CertifiedBetween(days[0], days[0]);
  ASSERT_GE(firstDay.size(), 4u);
  ASSERT_EQ(env.InjectFault("soap-fault", data.At(firstDay[1]).NumerReferencyjny(), 1000), 200);
  const std::string transient = data.At(firstDay[2]).NumerReferencyjny();

  const auto run = [&](int connections) {
    ScratchFolder folder;
    const CliRun cli =
        RunCli({"period", Day(days[0]), Day(days[1]), "--no-progress", "--connections",
                std::to_string(connections), "--output", folder.Path().string(), "--register",
                env.Url(), "--store", env.StoreFolder().string()});
    ListRunOutput output;
    output.status = cli.status;
    const std::string result = Reported(cli.out, "result");
    output.out = ReplaceAll(cli.out, result, "<result>");
    output.err = ReplaceAll(cli.err, result, "<result>");
    if (!result.empty()) {
      output.summary = ReadSheet(result, 1);
      output.details = ReadSheet(result, 2);
    }
    return output;
  };
  ASSERT_EQ(env.InjectFault("http-503", transient, 1), 200);
  const ListRunOutput one = run(1);
  ASSERT_EQ(env.InjectFault("http-503", transient, 1), 200);
  const ListRunOutput four = run(4);

  EXPECT_EQ(one.status, 3) << one.err;
  EXPECT_GT(one.summary.size(), firstDay.size());
  EXPECT_EQ(four.status, one.status);
  EXPECT_EQ(four.out, one.out);
  EXPECT_EQ(four.err, one.err);
  EXPECT_EQ(four.summary, one.summary);
  EXPECT_EQ(four.details, one.details);
}

// Stopped while records are being looked up ahead: those already started are written, in input
// order, found or, when the stop ended their call in flight, marked as interrupted; no record
// after them is.
TEST(SeveralConnections, AStopEndsTheLookUpsStartedAndStartsNoOther) {
  RegisterEnvironment slow({"--latency-ms", "150"});
  const std::vector<std::string> numbers = slow.FirstNumbers(40);
  ScratchFolder folder;
  const std::string input = NumbersInput(folder.Path(), numbers);

  const CliRun run =
      RunCli({"list", input, "--no-progress", "--connections", "4", "--register", slow.Url(),
              "--store", slow.StoreFolder().string()},
             {.interruptWhen = [](const std::string& out) { return Lines(out).size() >= 2; }});
  ASSERT_EQ(run.status, 130) << run.err;
  const SheetRows summary = ReadSheet(Reported(run.out, "result"));
  const std::size_t records = summary.size() - 1;
  EXPECT_GE(records, 2u);
  EXPECT_LT(records, numbers.size());
  const SheetRows annotated = ReadSheet(input);
  std::size_t interrupted = 0;
  for (std::size_t r = 1; r <= records; ++r) {
    EXPECT_EQ(summary[r][0], std::to_string(r));
    EXPECT_EQ(summary[r][2], numbers[r - 1]);
    EXPECT_EQ(summary[r][1], annotated[r][2]) << r;
    if (annotated[r][2] == "PRZERWANE PRZEZ UŻYTKOWNIKA") {
      ++interrupted;
    } else {
      EXPECT_EQ(annotated[r][2], slow.Data().At(r - 1).FirmaNazwa) << r;
    }
  }
  // Four connections at 150 ms an answer: the stop finds calls in flight.
  EXPECT_GE(interrupted, 1u);
  // Interrupted records are neither found nor failed: they were not processed.
  const std::size_t found = records - interrupted;
  EXPECT_NE(run.out.find("PODSUMOWANIE: rekordy: 40, znalezione: " + std::to_string(found) +
                         ", nieznalezione: 0, błędne: 0, powtórzone: 0, błędy wyszukiwania: 0, "
                         "błędy pobierania szczegółów: 0, nieprzetworzone: " +
                         std::to_string(40 - found) + "\n"),
            std::string::npos)
      << run.out;
  for (std::size_t r = records + 1; r < annotated.size(); ++r) {
    EXPECT_EQ(annotated[r].size(), 1u) << "row " << r << " was written after the stop";
  }
}

}  // namespace
}  // namespace zelvor::test
