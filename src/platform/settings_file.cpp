#include "platform/settings_file.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <utility>

namespace zelvor::platform {
namespace fs = std::filesystem;
namespace {

// What the user reads first about each refusal: what is wrong and what to do, in Polish. The
// English text after it stays as it always read, so that support can search for it.
namespace polish {
constexpr std::string_view kUnreadable =
    "Nie można odczytać pliku ustawień: sprawdź, czy to zwykły plik i czy masz prawo go czytać.";
constexpr std::string_view kLinkToNothing =
    "Plik ustawień jest dowiązaniem do pliku, którego nie ma: przywróć tamten plik albo usuń "
    "dowiązanie.";
constexpr std::string_view kUnwritable =
    "Nie można zapisać pliku ustawień: sprawdź, czy masz prawo zapisu w jego folderze i czy jest "
    "miejsce na dysku.";
constexpr std::string_view kSectionEnd =
    "Nagłówek sekcji w pliku ustawień nie kończy się nawiasem ]: dopisz go albo usuń ten wiersz.";
constexpr std::string_view kNoSuchSection =
    "Plik ustawień ma nieznaną sekcję: użyj [register], [vat] lub [certificate] albo usuń ten "
    "wiersz.";
constexpr std::string_view kNotKeyValue =
    "Wiersz pliku ustawień nie ma postaci „klucz = wartość”: popraw go albo usuń.";
constexpr std::string_view kBeforeSection =
    "Ustawienie stoi w pliku przed nagłówkiem sekcji: przenieś je pod właściwą sekcję, na przykład "
    "[register].";
constexpr std::string_view kNoSuchKey =
    "Plik ustawień ma ustawienie o nieznanej nazwie: popraw nazwę albo usuń ten wiersz.";
constexpr std::string_view kTwice =
    "Ustawienie występuje w pliku ustawień dwa razy: zostaw tylko jeden z tych wierszy.";
constexpr std::string_view kOneLine =
    "Wartość w ustawieniach musi mieścić się w jednym wierszu: usuń z niej przejścia do nowego "
    "wiersza.";

// The sentence for a value of `key` that its check refused.
std::string_view Refused(std::string_view key) {
  if (key == "[register] url")
    return "Rejestr jest pytany tylko przez szyfrowane połączenie: wpisz w ustawieniach adres "
           "zaczynający się od https://.";
  if (key == "[register] connections")
    return "Liczba połączeń z rejestrem w ustawieniach musi być liczbą od 1 do 8: wpisz taką "
           "liczbę.";
  if (key == "[vat] url")
    return "Adres usługi VAT w ustawieniach musi być pełnym adresem: wpisz go razem z początkiem "
           "http:// lub https://.";
  if (key == "[certificate] store")
    return "Folder magazynu certyfikatów trzeba podać w ustawieniach pełną ścieżką: wpisz całą "
           "ścieżkę, od dysku lub katalogu głównego.";
  if (key == "[certificate] serial")
    return "Numer seryjny certyfikatu w ustawieniach to 38 cyfr szesnastkowych, czyli 0–9 i A–F: "
           "przepisz go w całości, bez spacji.";
  return "Tej wartości ustawienia nie można użyć: popraw ją.";
}

// The first lines of a new settings file.
constexpr std::string_view kNewFile =
    "; Ustawienia programu Zelvor. Ustawienie, którego tu nie ma, ma wartość domyślną programu.\n"
    "; Wiersze zaczynające się od ; lub # są komentarzami.\n";
}  // namespace polish

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string_view Trimmed(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

SettingsError Refusal(std::string_view sentence, std::string_view english) {
  return SettingsError(std::string(sentence) + " (" + std::string(english) + ")");
}

// What is wrong with `value` for `key`: the Polish sentence and the English problem; an empty
// problem when it can be used.
std::pair<std::string_view, std::string> ValueProblem(std::string_view key,
                                                      std::string_view value) {
  if (value.find_first_of("\r\n") != std::string_view::npos)
    return {polish::kOneLine, "a value is one line"};
  std::string problem;
  if (key == "[register] url") problem = RegisterUrlProblem(value);
  if (key == "[register] connections") problem = ConnectionsProblem(value);
  if (key == "[vat] url" && value.find("://") == std::string_view::npos)
    problem = "not an address: " + std::string(value);
  if (key == "[certificate] serial") problem = SerialProblem(value);
  if (key == "[certificate] store" && !value.empty() && !fs::path(value).is_absolute())
    problem = "the store folder must be an absolute path: " + std::string(value);
  return {problem.empty() ? std::string_view() : polish::Refused(key), problem};
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

std::map<std::string, std::string> SettingsProblems(const SettingsFile& settings) {
  std::map<std::string, std::string> problems;
  for (const auto& [key, field] : SettingsFields()) {
    const std::optional<SetValue>& value = settings.*field;
    if (!value) continue;
    const auto [sentence, problem] = ValueProblem(key, value->value);
    if (!problem.empty()) problems[key] = std::string(sentence) + " (" + key + ": " + problem + ")";
  }
  return problems;
}

SettingsFile ReadSettingsFile(const fs::path& path) {
  SettingsFile settings;
  settings.path = path;
  std::error_code error;
  const fs::file_status entry = fs::symlink_status(path, error);
  if (error && error != std::errc::no_such_file_or_directory) {
    throw Refusal(polish::kUnreadable,
                  PathText(path) + ": the settings file cannot be read: " + error.message());
  }
  if (!fs::exists(path, error)) {
    // A link that leads nowhere was meant to be the settings: using the defaults would hide it.
    if (fs::is_symlink(entry)) {
      throw Refusal(polish::kLinkToNothing,
                    PathText(path) + ": the settings file is a symbolic link to " +
                        PathText(fs::read_symlink(path, error)) + ", which does not exist");
    }
    if (error && error != std::errc::no_such_file_or_directory) {
      throw Refusal(polish::kUnreadable,
                    PathText(path) + ": the settings file cannot be read: " + error.message());
    }
    return settings;
  }
  std::ifstream in(path);
  if (!in || fs::is_directory(path, error)) {
    throw Refusal(polish::kUnreadable, PathText(path) + ": the settings file cannot be read");
  }
  settings = ParseSettings(in, path);
  if (in.bad())
    throw Refusal(polish::kUnreadable, PathText(path) + ": the settings file cannot be read");
  return settings;
}

SettingsFile ParseSettings(std::istream& in, const fs::path& path) {
  SettingsFile settings;
  settings.path = path;
  settings.found = true;
  std::string section;
  std::string text;
  for (int line = 1; std::getline(in, text); ++line) {
    const auto refuse = [&](std::string_view sentence, std::string_view key,
                            std::string_view problem) {
      return Refusal(sentence, SettingsErrorText(path, line, key, problem));
    };
    // Windows editors start a UTF-8 file with a byte-order mark.
    if (line == 1 && text.starts_with(kByteOrderMark)) text.erase(0, kByteOrderMark.size());
    const std::string_view content = Trimmed(text);
    if (content.empty() || content.front() == ';' || content.front() == '#') continue;
    if (content.front() == '[') {
      if (content.back() != ']') throw refuse(polish::kSectionEnd, "", "a section ends with ']'");
      section = std::string(Trimmed(content.substr(1, content.size() - 2)));
      if (section != "register" && section != "vat" && section != "certificate")
        throw refuse(polish::kNoSuchSection, "[" + section + "]", "no such section");
      continue;
    }
    const std::size_t equals = content.find('=');
    if (equals == std::string_view::npos)
      throw refuse(polish::kNotKeyValue, "", "expected key = value");
    const std::string name(Trimmed(content.substr(0, equals)));
    if (section.empty()) throw refuse(polish::kBeforeSection, name, "a key before any [section]");
    const std::string key = "[" + section + "] " + name;
    const auto field = std::find_if(SettingsFields().begin(), SettingsFields().end(),
                                    [&](const auto& entry) { return entry.first == key; });
    if (field == SettingsFields().end()) throw refuse(polish::kNoSuchKey, key, "no such key");
    std::optional<SetValue>& slot = settings.*(field->second);
    if (slot)
      throw refuse(polish::kTwice, key,
                   "given twice (first on line " + std::to_string(slot->line) + ")");
    const std::string value(Trimmed(content.substr(equals + 1)));
    if (const auto [sentence, problem] = ValueProblem(key, value); !problem.empty())
      throw refuse(sentence, key, problem);
    slot = SetValue{value, line};
  }
  return settings;
}

namespace {

// One line of a settings file: its text and what ended it ("\n", "\r\n", or "" for a last line
// without one).
struct TextLine {
  std::string text;
  std::string end;
};

std::vector<TextLine> SplitLines(std::string_view text) {
  std::vector<TextLine> lines;
  while (!text.empty()) {
    const std::size_t newline = text.find('\n');
    std::string_view line = text.substr(0, newline);
    std::string end = newline == std::string_view::npos ? "" : "\n";
    if (!end.empty() && line.ends_with('\r')) {
      line.remove_suffix(1);
      end = "\r\n";
    }
    lines.push_back({std::string(line), end});
    text.remove_prefix(newline == std::string_view::npos ? text.size() : newline + 1);
  }
  return lines;
}

std::string KeyLine(std::string_view name, std::string_view value) {
  return value.empty() ? std::string(name) + " =" : std::string(name) + " = " + std::string(value);
}

}  // namespace

std::string UpdatedSettingsText(std::string_view text, const SettingsFile& settings) {
  const bool mark = text.starts_with(kByteOrderMark);
  if (mark) text.remove_prefix(kByteOrderMark.size());
  std::vector<TextLine> lines = SplitLines(text);
  // Added lines end as the text's own lines do.
  std::string end = "\n";
  for (const TextLine& line : lines)
    if (!line.end.empty()) {
      end = line.end;
      break;
    }

  std::vector<TextLine> kept;
  std::map<std::string, std::size_t> sectionEnd;  // a section's last kept line, in `kept`
  std::set<std::string> present;
  std::string section;
  for (TextLine& line : lines) {
    const std::string_view content = Trimmed(line.text);
    if (content.empty() || content.front() == ';' || content.front() == '#') {
      kept.push_back(std::move(line));
      continue;
    }
    if (content.front() == '[' && content.back() == ']') {
      section = std::string(Trimmed(content.substr(1, content.size() - 2)));
    } else if (const std::size_t equals = content.find('=');
               equals != std::string_view::npos && !section.empty()) {
      const std::string key =
          "[" + section + "] " + std::string(Trimmed(content.substr(0, equals)));
      const auto field = std::find_if(SettingsFields().begin(), SettingsFields().end(),
                                      [&](const auto& entry) { return entry.first == key; });
      if (field != SettingsFields().end()) {
        const std::optional<SetValue>& value = settings.*(field->second);
        if (!value) continue;  // emptied: the build's value holds again
        present.insert(key);
        if (Trimmed(content.substr(equals + 1)) != value->value) {
          // The key, its spacing and the spaces after '=' stay as the user wrote them.
          const std::size_t at = line.text.find('=') + 1;
          const std::size_t valueAt = line.text.find_first_not_of(" \t", at);
          std::string head = line.text.substr(0, valueAt == std::string::npos ? at : valueAt);
          if (head.size() == at && at >= 2 && (head[at - 2] == ' ' || head[at - 2] == '\t'))
            head += ' ';
          if (value->value.empty()) head.erase(head.find_last_not_of(" \t") + 1);
          line.text = head + value->value;
        }
      }
    }
    kept.push_back(std::move(line));
    sectionEnd[section] = kept.size() - 1;
  }

  std::map<std::size_t, std::vector<std::string>> added;  // lines to add after a kept line
  std::vector<std::pair<std::string, std::vector<std::string>>> newSections;
  for (const auto& [key, field] : SettingsFields()) {
    const std::optional<SetValue>& value = settings.*field;
    if (!value || present.contains(key)) continue;
    const std::size_t close = key.find(']');
    const std::string name = key.substr(1, close - 1);
    const std::string line = KeyLine(key.substr(close + 2), value->value);
    if (const auto found = sectionEnd.find(name); found != sectionEnd.end()) {
      added[found->second].push_back(line);
      continue;
    }
    if (newSections.empty() || newSections.back().first != name) newSections.push_back({name, {}});
    newSections.back().second.push_back(line);
  }

  std::vector<TextLine> result;
  for (std::size_t i = 0; i < kept.size(); ++i) {
    result.push_back(std::move(kept[i]));
    if (const auto more = added.find(i); more != added.end())
      for (const std::string& line : more->second) result.push_back({line, end});
  }
  for (const auto& [name, keyLines] : newSections) {
    if (!result.empty() && !Trimmed(result.back().text).empty()) result.push_back({"", end});
    result.push_back({"[" + name + "]", end});
    for (const std::string& line : keyLines) result.push_back({line, end});
  }
  std::string updated(mark ? kByteOrderMark : "");
  for (std::size_t i = 0; i < result.size(); ++i) {
    // A last line without an end gets one when lines follow it now.
    const bool last = i + 1 == result.size();
    updated += result[i].text + (result[i].end.empty() && !last ? end : result[i].end);
  }
  return updated;
}

std::string SettingsText(const SettingsFile& settings) {
  return UpdatedSettingsText(polish::kNewFile, settings);
}

void WriteSettingsFile(const SettingsFile& settings) {
  const std::string file = PathText(settings.path);
  std::string refused;
  for (const auto& [key, field] : SettingsFields()) {
    const std::optional<SetValue>& value = settings.*field;
    if (!value) continue;
    if (const auto [sentence, problem] = ValueProblem(key, value->value); !problem.empty()) {
      if (!refused.empty()) refused += "\n";
      refused += std::string(sentence) + " (" + file + ": " + key + ": " + problem + ")";
    }
  }
  if (!refused.empty()) throw SettingsError(refused);

  std::error_code error;
  const bool exists = fs::exists(settings.path, error);
  std::string old;
  if (exists) {
    std::ifstream in(settings.path, std::ios::binary);
    old.assign(std::istreambuf_iterator<char>(in), {});
    if (!in.is_open() || in.bad())
      throw Refusal(polish::kUnreadable, file + ": the settings file cannot be read");
  }
  const std::string text = exists ? UpdatedSettingsText(old, settings) : SettingsText(settings);
  std::istringstream check(text);
  ParseSettings(check, settings.path);  // nothing is written that would not be read back
  if (exists && text == old) return;

  fs::create_directories(settings.path.parent_path(), error);
  fs::path temporary = settings.path;
  temporary += ".new";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out << text;
    out.flush();
    if (!out) {
      out.close();
      fs::remove(temporary, error);
      throw Refusal(polish::kUnwritable, file + ": the settings file cannot be written");
    }
  }
  // A file the user kept private stays private.
  if (exists) {
    const fs::perms own = fs::status(settings.path, error).permissions();
    if (!error) fs::permissions(temporary, own, error);
  }
  fs::rename(temporary, settings.path, error);
  if (error) {
    const std::string reason = error.message();
    fs::remove(temporary, error);
    throw Refusal(polish::kUnwritable, file + ": the settings file cannot be written: " + reason);
  }
}

}  // namespace zelvor::platform
