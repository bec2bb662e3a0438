#pragma once
// The user's settings file (see DefaultSettingsFile): an INI file whose keys override the
// build's settings. Read by the window and the headless runner alike; a value that cannot be
// used is refused with the file, the key and the line.

#include <filesystem>
#include <istream>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zelvor::platform {

// An unreadable settings file or a value that cannot be used; the message names the file, the
// key and the line.
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

// The file's text for what `settings` sets, by sections; and the file written in place of the old
// one at settings.path (a whole new file renamed over it). Throws SettingsError, before writing
// anything, for a value that could not be read back.
std::string SettingsText(const SettingsFile& settings);
void WriteSettingsFile(const SettingsFile& settings);

// The checks of single values, for the window's settings dialog as well; each returns what is
// wrong with the value, or "" when it can be used.
std::string RegisterUrlProblem(std::string_view url);
std::string ConnectionsProblem(std::string_view count);
std::string SerialProblem(std::string_view serial);

// "file:line: [section] key: problem", as every settings error reads.
std::string SettingsErrorText(const std::filesystem::path& file, int line, std::string_view key,
                              std::string_view problem);

}  // namespace zelvor::platform
