// The command line of zelvor-cli: what each accepted line means and why others are refused.
#include "cli/cli_options.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace zelvor::cli {
namespace {

using std::chrono::year_month_day;
using testing::HasSubstr;

CliOptions Parse(std::vector<std::string_view> args) {
  return ParseCommandLine(args);
}

TEST(CliOptions, AcceptedCommandLines) {
  const CliOptions list = Parse({"--no-progress", "list", "--output=out", "klienci.xlsx"});
  EXPECT_EQ(list.command, Command::List);
  EXPECT_EQ(list.input, "klienci.xlsx");
  EXPECT_EQ(list.output, "out");
  EXPECT_FALSE(list.progress);
  EXPECT_EQ(list.registerUrl, std::nullopt);
  EXPECT_EQ(list.connections, std::nullopt);
  EXPECT_EQ(Parse({"list", "a.xlsx", "--connections", "8"}).connections, 8);
  EXPECT_EQ(Parse({"period", "2024-01-01", "2024-01-01", "--connections=4"}).connections, 4);

  const CliOptions period =
      Parse({"period", "2024-02-28", "2024-03-01", "--output", "dir", "--store", "certs"});
  EXPECT_EQ(period.command, Command::Period);
  EXPECT_EQ(period.firstDay, year_month_day{std::chrono::year{2024} / 2 / 28});
  EXPECT_EQ(period.lastDay, year_month_day{std::chrono::year{2024} / 3 / 1});
  EXPECT_EQ(period.output, "dir");
  EXPECT_EQ(period.store, "certs");
  EXPECT_TRUE(period.progress);

  const CliOptions test = Parse({"test", "--register", "https://127.0.0.1:1/CitizenApi.svc"});
  EXPECT_EQ(test.command, Command::Test);
  EXPECT_EQ(test.registerUrl, "https://127.0.0.1:1/CitizenApi.svc");

  // Typed as into the window's upper-casing fields; a later option wins.
  const CliOptions vat =
      Parse({"vat", "pl", "abc123", "--vat=http://a/1", "de", "x9", "--vat=http://b/2"});
  EXPECT_EQ(vat.command, Command::Vat);
  EXPECT_EQ(vat.country, "PL");
  EXPECT_EQ(vat.number, "ABC123");
  EXPECT_EQ(vat.requesterCountry, "DE");
  EXPECT_EQ(vat.requesterNumber, "X9");
  EXPECT_EQ(vat.vatUrl, "http://b/2");

  // After "--" a name that looks like an option is a file.
  EXPECT_EQ(Parse({"list", "--", "--odd.xlsx"}).input, "--odd.xlsx");
  // The same day twice is a period of one day.
  EXPECT_NO_THROW(Parse({"period", "2024-01-01", "2024-01-01"}));
}

TEST(CliOptions, HelpAndVersionWinAnywhere) {
  for (const auto& args : std::vector<std::vector<std::string_view>>{
           {"--help"}, {"-h"}, {"list", "--help"}, {"period", "bad", "--help"}, {"--bogus", "-h"}})
    EXPECT_TRUE(Parse(args).help) << args.front();
  for (const auto& args : std::vector<std::vector<std::string_view>>{
           {"--version"}, {"list", "--version"}, {"--bogus", "--version"}})
    EXPECT_TRUE(Parse(args).version) << args.front();
}

TEST(CliOptions, RefusedCommandLines) {
  struct Case {
    std::vector<std::string_view> args;
    const char* message;
  };
  const Case cases[] = {
      {{}, "no command given"},
      {{"lista", "a.xlsx"}, "unknown command 'lista'"},
      {{"list"}, "wrong number of arguments for list"},
      {{"list", "a.xlsx", "b.xlsx"}, "wrong number of arguments for list"},
      {{"test", "extra"}, "wrong number of arguments for test"},
      {{"vat", "PL"}, "wrong number of arguments for vat"},
      {{"vat", "PL", "1", "DE"}, "wrong number of arguments for vat"},
      {{"vat", "PL", "  ", "DE", "2"}, "the country and the VAT number must not be empty"},
      {{"vat", "PL", "1", "DE", " "}, "the requester's country and VAT number must not be empty"},
      {{"period", "2024-01-01"}, "wrong number of arguments for period"},
      {{"period", "2024-1-01", "2024-01-02"}, "first day '2024-1-01' is not a date"},
      {{"period", "2024-01-01", "2023-02-29"}, "last day '2023-02-29' is not a date"},
      {{"period", "2024-13-01", "2024-12-01"}, "is not a date"},
      {{"period", "2024-03-02", "2024-03-01"}, "before the first day"},
      {{"list", "a.xlsx", "--output"}, "option --output needs a value"},
      {{"list", "a.xlsx", "--output="}, "option --output needs a value"},
      {{"list", "a.xlsx", "--outptu", "x"}, "unknown option --outptu"},
      {{"list", "a.xlsx", "-o", "x"}, "unknown option '-o'"},
      {{"test", "--no-progress=yes"}, "takes no value"},
      {{"test", "--output", "dir"}, "--output applies to list and period only"},
      {{"list", "a.xlsx", "--connections", "0"}, "takes a number from 1 to 8, not '0'"},
      {{"list", "a.xlsx", "--connections", "9"}, "takes a number from 1 to 8, not '9'"},
      {{"list", "a.xlsx", "--connections", "10"}, "takes a number from 1 to 8, not '10'"},
      {{"list", "a.xlsx", "--connections=two"}, "takes a number from 1 to 8, not 'two'"},
      {{"test", "--connections", "2"}, "--connections applies to list and period only"},
  };
  for (const Case& c : cases) {
    try {
      Parse(c.args);
      ADD_FAILURE() << "accepted: " << c.message;
    } catch (const UsageError& e) {
      EXPECT_THAT(e.what(), HasSubstr(c.message));
    }
  }
}

TEST(CliOptions, DaysAreStrictCalendarDates) {
  EXPECT_EQ(ParseDay("2024-02-29"), year_month_day{std::chrono::year{2024} / 2 / 29});
  for (const char* text : {"2023-02-29", "2024-04-31", "2024-00-10", "24-01-01", "2024/01/01",
                           "2024-01-01 ", "2024-01-0x", ""})
    EXPECT_EQ(ParseDay(text), std::nullopt) << text;
}

}  // namespace
}  // namespace zelvor::cli
