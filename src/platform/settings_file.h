#pragma once
// The user's settings file (see DefaultSettingsFile): an INI file whose keys override the
// build's settings. Read by the window and the headless runner alike; a value that cannot be
// used is refused with the file, the key and the line. Every refusal a user reads starts with one
// Polish sentence saying what is wrong and what to do, followed in parentheses by the English
// text support searches for.

#include <filesystem>
#include <istream>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zelvor::platform {

// An unreadable settings file or a value that cannot be used; the message is a Polish sentence,
// then in parentheses the file, the key, the line and the problem in English.
class SettingsError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// One value the file sets, and where.
struct SetValue {
  std::string value;
  int line = 0;
};

// What the file sets; a key the file does not hold keeps the build's value.
struct SettingsFile {
  std::filesystem::path path;
  bool found = false;
  std::optional<SetValue> registerUrl;  // [register] url: https only
  std::optional<SetValue> connections;  // [register] connections: 1 to 8
  std::optional<SetValue> vatUrl;       // [vat] url
  std::optional<SetValue> store;        // [certificate] store: the store folder
  std::optional<SetValue> name;         // [certificate] name: the display-name selector
  std::optional<SetValue> issuer;       // [certificate] issuer
  std::optional<SetValue> subject;      // [certificate] subject
  std::optional<SetValue> serial;       // [certificate] serial: 38 hexadecimal digits

  int Connections() const { return connections ? std::stoi(connections->value) : 1; }
};

// Every key the file may hold, as "[section] key", and the field of SettingsFile it fills, in
// the order the settings are shown.
using SettingsField = std::optional<SetValue> SettingsFile::*;
const std::vector<std::pair<std::string, SettingsField>>& SettingsFields();
const std::vector<std::string>& SettingsKeys();

// Where the settings file is: on Windows %APPDATA%\Zelvor\zelvor.conf; elsewhere
// $XDG_CONFIG_HOME/zelvor/zelvor.conf, else ~/.config/zelvor/zelvor.conf.
std::filesystem::path DefaultSettingsFile();

// A path as UTF-8 text, for messages.
std::string PathText(const std::filesystem::path& path);

// Reads and checks the file; a missing file sets nothing. Lines are "[section]", "key = value",
// blank, or comments starting with ';' or '#'. Throws SettingsError for a line of no such form,
// an unknown section or key, a key given twice, or a value that cannot be used.
SettingsFile ReadSettingsFile(const std::filesystem::path& path);

// The same from a stream; `path` names the file in errors.
SettingsFile ParseSettings(std::istream& in, const std::filesystem::path& path);

// Every value of `settings` that cannot be used, by its "[section] key": a Polish sentence saying
// what to change, then "([section] key: problem)" in English. Empty when all can be used.
std::map<std::string, std::string> SettingsProblems(const SettingsFile& settings);

// The text of a new settings file for what `settings` sets: a short comment, then the keys by
// sections.
std::string SettingsText(const SettingsFile& settings);

// `text`, a settings file's text, holding the values of `settings`: comments, blank lines, lines
// it does not know and the order are kept; a line whose value changed gets the new value, a
// line of a key `settings` does not set goes, and a key the text lacks is added after the last
// line of its section (the section is added at the end when missing). A UTF-8 byte-order mark
// and the text's line endings are kept.
std::string UpdatedSettingsText(std::string_view text, const SettingsFile& settings);

// Writes `settings` to settings.path: the file there is updated as UpdatedSettingsText does, or
// made as SettingsText does, as a whole new file renamed over the old one. Throws SettingsError,
// before writing anything, for values that cannot be used (every one of them) and for a result
// that could not be read back.
void WriteSettingsFile(const SettingsFile& settings);

// The checks of single values; each returns, in English, what is wrong with the value, or ""
// when it can be used.
std::string RegisterUrlProblem(std::string_view url);
std::string ConnectionsProblem(std::string_view count);
std::string SerialProblem(std::string_view serial);

// "file:line: [section] key: problem", the English part of a settings error.
std::string SettingsErrorText(const std::filesystem::path& file, int line, std::string_view key,
                              std::string_view problem);

}  // namespace zelvor::platform
