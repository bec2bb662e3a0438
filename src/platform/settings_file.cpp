#include "platform/settings_file.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <sstream>
#include <utility>

namespace zelvor::platform {
namespace fs = std::filesystem;
namespace {

std::string_view Trimmed(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace

std::string PathText(const fs::path& path) {
  const std::u8string text = path.u8string();
  return std::string(reinterpret_cast<const char*>(text.data()), text.size());
}

const std::vector<std::pair<std::string, SettingsField>>& SettingsFields() {
  static const std::vector<std::pair<std::string, SettingsField>> fields = {
      {"[register] url", &SettingsFile::registerUrl},
      {"[register] connections", &SettingsFile::connections},
      {"[vat] url", &SettingsFile::vatUrl},
      {"[certificate] store", &SettingsFile::store},
      {"[certificate] name", &SettingsFile::name},
      {"[certificate] issuer", &SettingsFile::issuer},
      {"[certificate] subject", &SettingsFile::subject},
      {"[certificate] serial", &SettingsFile::serial}};
  return fields;
}

namespace {

std::string ValueProblem(std::string_view key, std::string_view value) {
  if (key == "[register] url") return RegisterUrlProblem(value);
  if (key == "[register] connections") return ConnectionsProblem(value);
  if (key == "[vat] url" && value.find("://") == std::string_view::npos)
    return "not an address: " + std::string(value);
  if (key == "[certificate] serial") return SerialProblem(value);
  if (key == "[certificate] store" && !value.empty() && !fs::path(value).is_absolute())
    return "the store folder must be an absolute path: " + std::string(value);
  return "";
}

}  // namespace

const std::vector<std::string>& SettingsKeys() {
  static const std::vector<std::string> keys = [] {
    std::vector<std::string> names;
    for (const auto& [key, field] : SettingsFields()) names.push_back(key);
    return names;
  }();
  return keys;
}

std::string SettingsErrorText(const fs::path& file, int line, std::string_view key,
                              std::string_view problem) {
  std::string text = PathText(file) + ":" + std::to_string(line) + ": ";
  if (!key.empty()) text += std::string(key) + ": ";
  return text + std::string(problem);
}

std::string RegisterUrlProblem(std::string_view url) {
  if (!url.starts_with("https://") || url.size() == 8)
    return "the register is only asked over https; not an https:// address: " + std::string(url);
  return "";
}

std::string ConnectionsProblem(std::string_view count) {
  if (count.size() != 1 || count[0] < '1' || count[0] > '8')
    return "a number from 1 to 8, not '" + std::string(count) + "'";
  return "";
}

std::string SerialProblem(std::string_view serial) {
  const bool hex = std::all_of(serial.begin(), serial.end(),
                               [](unsigned char c) { return std::isxdigit(c) != 0; });
  if (serial.size() != 38 || !hex)
    return "a serial number is 38 hexadecimal digits, not '" + std::string(serial) + "'";
  return "";
}

SettingsFile ReadSettingsFile(const fs::path& path) {
  SettingsFile settings;
  settings.path = path;
  std::error_code error;
  const fs::file_status entry = fs::symlink_status(path, error);
  if (error && error != std::errc::no_such_file_or_directory) {
    throw SettingsError(PathText(path) + ": the settings file cannot be read: " + error.message());
  }
  if (!fs::exists(path, error)) {
    // A link that leads nowhere was meant to be the settings: using the defaults would hide it.
    if (fs::is_symlink(entry)) {
      throw SettingsError(PathText(path) + ": the settings file is a symbolic link to " +
                          PathText(fs::read_symlink(path, error)) + ", which does not exist");
    }
    if (error && error != std::errc::no_such_file_or_directory) {
      throw SettingsError(PathText(path) +
                          ": the settings file cannot be read: " + error.message());
    }
    return settings;
  }
  std::ifstream in(path);
  if (!in || fs::is_directory(path, error)) {
    throw SettingsError(PathText(path) + ": the settings file cannot be read");
  }
  settings = ParseSettings(in, path);
  if (in.bad()) throw SettingsError(PathText(path) + ": the settings file cannot be read");
  return settings;
}

SettingsFile ParseSettings(std::istream& in, const fs::path& path) {
  SettingsFile settings;
  settings.path = path;
  settings.found = true;
  std::string section;
  std::string text;
  for (int line = 1; std::getline(in, text); ++line) {
    // Windows editors start a UTF-8 file with a byte-order mark.
    if (line == 1 && text.starts_with("\xEF\xBB\xBF")) text.erase(0, 3);
    const std::string_view content = Trimmed(text);
    if (content.empty() || content.front() == ';' || content.front() == '#') continue;
    if (content.front() == '[') {
      if (content.back() != ']')
        throw SettingsError(SettingsErrorText(path, line, "", "a section ends with ']'"));
      section = std::string(Trimmed(content.substr(1, content.size() - 2)));
      if (section != "register" && section != "vat" && section != "certificate")
        throw SettingsError(SettingsErrorText(path, line, "[" + section + "]", "no such section"));
      continue;
    }
    const std::size_t equals = content.find('=');
    if (equals == std::string_view::npos)
      throw SettingsError(SettingsErrorText(path, line, "", "expected key = value"));
    const std::string name(Trimmed(content.substr(0, equals)));
    if (section.empty())
      throw SettingsError(SettingsErrorText(path, line, name, "a key before any [section]"));
    const std::string key = "[" + section + "] " + name;
    const auto field = std::find_if(SettingsFields().begin(), SettingsFields().end(),
                                    [&](const auto& entry) { return entry.first == key; });
    if (field == SettingsFields().end())
      throw SettingsError(SettingsErrorText(path, line, key, "no such key"));
    std::optional<SetValue>& slot = settings.*(field->second);
    if (slot)
      throw SettingsError(SettingsErrorText(
          path, line, key, "given twice (first on line " + std::to_string(slot->line) + ")"));
    const std::string value(Trimmed(content.substr(equals + 1)));
    if (const std::string problem = ValueProblem(key, value); !problem.empty())
      throw SettingsError(SettingsErrorText(path, line, key, problem));
    slot = SetValue{value, line};
  }
  return settings;
}

std::string SettingsText(const SettingsFile& settings) {
  std::string text = "; Zelvor's settings; a key left out keeps the build's value.\n";
  std::string section;
  for (const auto& [key, field] : SettingsFields()) {
    const std::optional<SetValue>& value = settings.*field;
    if (!value) continue;
    const std::size_t close = key.find(']');
    const std::string keySection = key.substr(0, close + 1);
    if (keySection != section) {
      section = keySection;
      text += section + "\n";
    }
    text += key.substr(close + 2) + " = " + value->value + "\n";
  }
  return text;
}

void WriteSettingsFile(const SettingsFile& settings) {
  for (const auto& [key, field] : SettingsFields()) {
    const std::optional<SetValue>& value = settings.*field;
    if (value && value->value.find_first_of("\r\n") != std::string::npos)
      throw SettingsError(SettingsErrorText(settings.path, 0, key, "a value is one line"));
  }
  const std::string text = SettingsText(settings);
  std::istringstream check(text);
  ParseSettings(check, settings.path);  // nothing is written that would not be read back
  std::error_code error;
  fs::create_directories(settings.path.parent_path(), error);
  fs::path temporary = settings.path;
  temporary += ".new";
  {
    std::ofstream out(temporary, std::ios::trunc);
    out << text;
    out.flush();
    if (!out) {
      fs::remove(temporary, error);
      throw SettingsError(PathText(settings.path) + ": the settings file cannot be written");
    }
  }
  fs::rename(temporary, settings.path, error);
  if (error) {
    fs::remove(temporary, error);
    throw SettingsError(PathText(settings.path) +
                        ": the settings file cannot be written: " + error.message());
  }
}

}  // namespace zelvor::platform
