#pragma once
// The command line of zelvor-cli: one command, its arguments, and the common options.

#include <chrono>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace zelvor::cli {

enum class Command { List, Period, Test, Vat, Config, Import };

struct CliOptions {
  Command command = Command::Test;
  bool help = false;     // --help: print the usage and do nothing else
  bool version = false;  // --version: print the version and do nothing else

  std::string input;                                  // list: the input workbook; import: the file
  std::optional<std::string> output;                  // list, period: --output DIR
  std::chrono::year_month_day firstDay{}, lastDay{};  // period
  std::string country, number;                        // vat
  std::string requesterCountry, requesterNumber;      // vat

  std::optional<std::string> registerUrl;  // --register URL; the build's endpoint otherwise
  std::optional<std::string> vatUrl;       // --vat URL
  std::optional<std::string> store;        // --store DIR; the user's store otherwise
  bool progress = true;                    // false with --no-progress
  std::optional<int> connections;          // --connections N: records looked up at once
};

// A command line that cannot be run; the message says what is wrong with it.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The arguments after the program name. Options may stand anywhere, as "--name VALUE" or
// "--name=VALUE"; "--" ends the options.
CliOptions ParseCommandLine(const std::vector<std::string_view>& args);

// A day written yyyy-mm-dd; nothing for any other text or a day the calendar lacks.
std::optional<std::chrono::year_month_day> ParseDay(std::string_view text);

// The whole help text, and the short reminder shown after a usage error.
std::string UsageText();
std::string ShortUsage();

}  // namespace zelvor::cli
