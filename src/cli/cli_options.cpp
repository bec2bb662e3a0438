#include "cli/cli_options.h"

#include <algorithm>
#include <cctype>

namespace zelvor::cli {
namespace {

constexpr std::string_view kValueOptions[] = {"output", "register", "vat", "store", "connections"};

bool TakesValue(std::string_view name) {
  return std::find(std::begin(kValueOptions), std::end(kValueOptions), name) !=
         std::end(kValueOptions);
}

bool IsOption(std::string_view arg) {
  return arg.size() > 1 && arg.front() == '-';
}

std::string UpperAscii(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return upper;
}

bool Blank(std::string_view text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) <= ' '; });
}

std::optional<Command> CommandNamed(std::string_view name) {
  if (name == "list") return Command::List;
  if (name == "period") return Command::Period;
  if (name == "test") return Command::Test;
  if (name == "vat") return Command::Vat;
  if (name == "config") return Command::Config;
  if (name == "import") return Command::Import;
  return std::nullopt;
}

void ExpectArguments(const std::vector<std::string>& positional, std::size_t count,
                     std::string_view synopsis) {
  if (positional.size() - 1 != count)
    throw UsageError("wrong number of arguments for " + positional.front() + ": zelvor-cli " +
                     std::string(synopsis));
}

std::chrono::year_month_day DayArgument(const std::string& text, std::string_view what) {
  const std::optional<std::chrono::year_month_day> day = ParseDay(text);
  if (!day) throw UsageError(std::string(what) + " day '" + text + "' is not a date yyyy-mm-dd");
  return *day;
}

// The value of --connections: a whole number from 1 to 8.
int ConnectionCount(const std::string& text) {
  if (text.size() != 1 || text[0] < '1' || text[0] > '8')
    throw UsageError("option --connections takes a number from 1 to 8, not '" + text + "'");
  return text[0] - '0';
}

}  // namespace

std::optional<std::chrono::year_month_day> ParseDay(std::string_view text) {
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
  const auto number = [&](std::size_t from, std::size_t length) -> std::optional<int> {
    int value = 0;
    for (std::size_t i = from; i < from + length; ++i) {
      if (text[i] < '0' || text[i] > '9') return std::nullopt;
      value = value * 10 + (text[i] - '0');
    }
    return value;
  };
  const auto year = number(0, 4), month = number(5, 2), day = number(8, 2);
  if (!year || !month || !day) return std::nullopt;
  const std::chrono::year_month_day ymd{std::chrono::year{*year},
                                        std::chrono::month{static_cast<unsigned>(*month)},
                                        std::chrono::day{static_cast<unsigned>(*day)}};
  if (!ymd.ok()) return std::nullopt;
  return ymd;
}

CliOptions ParseCommandLine(const std::vector<std::string_view>& args) {
  CliOptions options;
  // Asking for help or the version is never a mistake, whatever else the line holds.
  for (const std::string_view arg : args) {
    if (arg == "--") break;
    if (arg == "--help" || arg == "-h") {
      options.help = true;
      return options;
    }
    if (arg == "--version") {
      options.version = true;
      return options;
    }
  }
  std::vector<std::string> positional;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    if (optionsEnded || !IsOption(arg)) {
      positional.emplace_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    if (!arg.starts_with("--")) throw UsageError("unknown option '" + std::string(arg) + "'");
    std::string name(arg.substr(2));
    std::optional<std::string> value;
    if (const auto eq = name.find('='); eq != std::string::npos) {
      value = name.substr(eq + 1);
      name.resize(eq);
    }
    if (name == "no-progress") {
      if (value) throw UsageError("option --no-progress takes no value");
      options.progress = false;
      continue;
    }
    if (!TakesValue(name)) throw UsageError("unknown option --" + name);
    if (!value) {
      if (i + 1 == args.size()) throw UsageError("option --" + name + " needs a value");
      value = std::string(args[++i]);
    }
    if (value->empty()) throw UsageError("option --" + name + " needs a value");
    if (name == "output") options.output = *value;
    if (name == "register") options.registerUrl = *value;
    if (name == "vat") options.vatUrl = *value;
    if (name == "store") options.store = *value;
    if (name == "connections") options.connections = ConnectionCount(*value);
  }

  if (positional.empty()) throw UsageError("no command given");
  const std::optional<Command> command = CommandNamed(positional.front());
  if (!command) throw UsageError("unknown command '" + positional.front() + "'");
  options.command = *command;
  switch (*command) {
    case Command::List:
      ExpectArguments(positional, 1, "list INPUT.xlsx [--output DIR]");
      options.input = positional[1];
      break;
    case Command::Period:
      ExpectArguments(positional, 2, "period FIRST LAST [--output DIR]");
      options.firstDay = DayArgument(positional[1], "first");
      options.lastDay = DayArgument(positional[2], "last");
      if (std::chrono::sys_days{options.lastDay} < std::chrono::sys_days{options.firstDay})
        throw UsageError("the last day " + positional[2] + " is before the first day " +
                         positional[1]);
      break;
    case Command::Test:
      ExpectArguments(positional, 0, "test");
      break;
    case Command::Config:
      ExpectArguments(positional, 0, "config");
      break;
    case Command::Import:
      ExpectArguments(positional, 1, "import CERTIFICATE.p12");
      options.input = positional[1];
      break;
    case Command::Vat:
      ExpectArguments(positional, 4, "vat COUNTRY NUMBER REQUESTER_COUNTRY REQUESTER_NUMBER");
      // Upper-cased as the window's fields upper-case what is typed.
      options.country = UpperAscii(positional[1]);
      options.number = UpperAscii(positional[2]);
      options.requesterCountry = UpperAscii(positional[3]);
      options.requesterNumber = UpperAscii(positional[4]);
      if (Blank(options.country) || Blank(options.number))
        throw UsageError("the country and the VAT number must not be empty");
      // The service answers a check on behalf of a requester, as the window asks for one too.
      if (Blank(options.requesterCountry) || Blank(options.requesterNumber))
        throw UsageError("the requester's country and VAT number must not be empty");
      break;
  }
  const bool batch = *command == Command::List || *command == Command::Period;
  if (options.output && !batch) throw UsageError("option --output applies to list and period only");
  if (options.connections && !batch)
    throw UsageError("option --connections applies to list and period only");
  return options;
}

std::string UsageText() {
  return R"(zelvor-cli: look enterprises up in the register of road-transport undertakings.

usage:
  zelvor-cli list INPUT.xlsx [--output DIR]
      Reads the tax numbers (NIP) in column A of the first sheet, from row 2 down, looks
      each up and writes a result workbook Wynik_Hdr_<time>.xlsx. Each number's outcome
      is written into columns B and C of the input workbook. Without --output this
      happens in place, beside INPUT.xlsx; with --output the input is first copied into
      DIR (an existing file there is never overwritten) and the original stays untouched.
  zelvor-cli period FIRST LAST [--output DIR]
      Fetches every enterprise whose transport manager's certificate was issued on a day
      from FIRST to LAST (days as yyyy-mm-dd) into Wynik_Day_Hdr-<first>-<last>_<time>.xlsx
      in DIR (default: the current folder).
  zelvor-cli test
      Tests the connection to the register: one search and one detail fetch.
  zelvor-cli vat COUNTRY NUMBER REQUESTER_COUNTRY REQUESTER_NUMBER
      Checks an EU VAT number on behalf of a requester (your own VAT number),
      e.g. "zelvor-cli vat DE 123456789 PL 5261040828".
  zelvor-cli config
      Prints the settings in effect and where each comes from: the build's default,
      a line of the settings file, or an option.
  zelvor-cli import CERTIFICATE.p12
      Installs a client certificate issued as a PKCS#12 file (.p12, .pfx) into the
      certificate store, as "Importuj certyfikat..." in the window does: on Windows the
      personal store "MY", on Linux the store folder. The file's password is read from
      the first line of standard input, e.g. "zelvor-cli import cert.p12 < password.txt".

common options:
  --register URL   register endpoint (default: the production endpoint)
  --vat URL        VAT check service endpoint (default: the EU service)
  --store DIR      certificate store folder (default: the user's store, as the window uses)
  --connections N  list, period: look up to N records up at once, each on a register
                   connection of its own (1 to 8, default 1); everything is still written
                   in input order.
  --no-progress    never draw the progress line on the terminal
  --version        the program's version
  --help           this text

Settings: $XDG_CONFIG_HOME/zelvor/zelvor.conf (else ~/.config/zelvor/zelvor.conf), the
same file the window reads; options override it. A value there that cannot be used stops
every command with an error naming the file, the key and the line.

The log goes to standard output, errors to standard error. A run ends with a summary
line; then "list" prints "annotated: <path>" and "result: <path>", "period" prints
"result: <path>", each only for a file the run wrote. The list job saves both workbooks
every 30 rows. Ctrl-C, SIGTERM or SIGHUP stops a job at once: the register calls in
flight are ended (within a second) and their records marked "PRZERWANE PRZEZ
UŻYTKOWNIKA", no other record is started, and both workbooks are saved with every record
looked up. A second one while it saves is told to wait for the saves; a third ends the
program at once.

exit status:
  0    every record (or day) succeeded
  1    the run failed; the error is on standard error
  2    wrong command line
  3    the run ended, but some records or days failed (a search, a detail fetch)
  130  stopped by Ctrl-C; 143 by SIGTERM; 129 by SIGHUP)";
}

std::string ShortUsage() {
  return "usage: zelvor-cli list INPUT.xlsx [--output DIR] | period FIRST LAST [--output DIR]\n"
         "                  | test | config | import CERTIFICATE.p12\n"
         "                  | vat COUNTRY NUMBER REQ_COUNTRY REQ_NUMBER\n"
         "                  [--register URL] [--vat URL]\n"
         "                  [--store DIR] [--connections N] [--no-progress]\n"
         "Try 'zelvor-cli --help' for more.";
}

}  // namespace zelvor::cli
