#include "platform/settings_file.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <map>

#include "support/scratch_folder.h"

namespace zelvor::platform {
namespace {

using testing::EndsWith;
using testing::HasSubstr;
using testing::StartsWith;

std::string Write(const test::ScratchFolder& folder, const std::string& text) {
  const std::string path = folder.File("zelvor.conf");
  std::ofstream(path, std::ios::binary) << text;
  return path;
}

std::string Read(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(SettingsFile, EveryKeyIsReadWithItsLine) {
  test::ScratchFolder folder;
  const std::string serial = "0123456789abcdef0123456789ABCDEF012345";
  // An absolute folder of this system, with Polish letters.
  const std::string store = folder.File("Certyfikaty – Łódź");
  const SettingsFile file = ReadSettingsFile(Write(folder,
                                                   "; Zelvor\n"
                                                   "[register]\n"
                                                   "url = https://127.0.0.1:8443/CitizenApi.svc\n"
                                                   "connections=4\n"
                                                   "\n"
                                                   "[vat]\n"
                                                   "  url = http://127.0.0.1:9/vies  \n"
                                                   "[certificate]\n"
                                                   "# the store\n"
                                                   "store = " +
                                                       store +
                                                       "\n"
                                                       "name = KREPTD test\n"
                                                       "issuer = CN=Test CA\n"
                                                       "subject =\n"
                                                       "serial = " +
                                                       serial + "\n"));
  EXPECT_TRUE(file.found);
  ASSERT_TRUE(file.registerUrl && file.connections && file.vatUrl && file.store && file.name &&
              file.issuer && file.subject && file.serial);
  EXPECT_EQ(file.registerUrl->value, "https://127.0.0.1:8443/CitizenApi.svc");
  EXPECT_EQ(file.registerUrl->line, 3);
  EXPECT_EQ(file.Connections(), 4);
  EXPECT_EQ(file.vatUrl->value, "http://127.0.0.1:9/vies");
  EXPECT_EQ(file.vatUrl->line, 7);
  EXPECT_EQ(file.store->value, store);
  EXPECT_EQ(file.name->value, "KREPTD test");
  EXPECT_EQ(file.issuer->value, "CN=Test CA");
  EXPECT_EQ(file.subject->value, "");
  EXPECT_EQ(file.serial->value, serial);
  EXPECT_EQ(file.serial->line, 14);
}

TEST(SettingsFile, AMissingFileSetsNothing) {
  test::ScratchFolder folder;
  const SettingsFile file = ReadSettingsFile(folder / "zelvor.conf");
  EXPECT_FALSE(file.found);
  EXPECT_FALSE(file.registerUrl || file.connections || file.serial);
  EXPECT_EQ(file.Connections(), 1);
}

// Each refusal starts with a Polish sentence saying what to do; the English text follows in
// parentheses as it always read.
TEST(SettingsFile, WhatCannotBeUsedIsNamedWithFileKeyAndLine) {
  struct Case {
    std::string text;
    std::string sentence;  // how the Polish sentence starts
    std::string message;   // after "(<file>:"
  };
  const Case cases[] = {
      {"[register]\nurl = http://127.0.0.1/CitizenApi.svc\n",
       "Rejestr jest pytany tylko przez szyfrowane połączenie",
       "2: [register] url: the register is only asked over https"},
      {"[register]\nconnections = 9\n", "Liczba połączeń z rejestrem w ustawieniach",
       "2: [register] connections: a number from 1 to 8, not '9'"},
      {"[register]\nconnections = 0\n", "Liczba połączeń",
       "2: [register] connections: a number from 1 to 8"},
      {"[register]\n\nconnections = dwa\n", "Liczba połączeń",
       "3: [register] connections: a number from 1 to 8"},
      {"[certificate]\nserial = 1234\n", "Numer seryjny certyfikatu",
       "2: [certificate] serial: a serial number is 38 hexadecimal digits, not '1234'"},
      {"[certificate]\nserial = 0123456789abcdef0123456789abcdef01234g\n", "Numer seryjny",
       "2: [certificate] serial: a serial number is 38 hexadecimal digits"},
      {"[certificate]\nstore = certyfikaty\n", "Folder magazynu certyfikatów",
       "2: [certificate] store: the store folder must be an absolute path"},
      {"[vat]\nurl = ec.europa.eu\n", "Adres usługi VAT", "2: [vat] url: not an address"},
      {"[register]\nadres = https://x/\n", "Plik ustawień ma ustawienie o nieznanej nazwie",
       "2: [register] adres: no such key"},
      {"url = https://x/\n", "Ustawienie stoi w pliku przed nagłówkiem sekcji",
       "1: url: a key before any [section]"},
      {"[rejestr]\n", "Plik ustawień ma nieznaną sekcję", "1: [rejestr]: no such section"},
      {"[register\n", "Nagłówek sekcji", "1: a section ends with ']'"},
      {"[register]\nurl\n", "Wiersz pliku ustawień nie ma postaci", "2: expected key = value"},
      {"[register]\nurl = https://a/\nurl = https://b/\n", "Ustawienie występuje",
       "3: [register] url: given twice (first on line 2)"},
  };
  for (const Case& c : cases) {
    test::ScratchFolder folder;
    const std::string path = Write(folder, c.text);
    try {
      ReadSettingsFile(path);
      ADD_FAILURE() << "accepted: " << c.text;
    } catch (const SettingsError& e) {
      const std::string what = e.what();
      EXPECT_THAT(what, StartsWith(c.sentence)) << c.text;
      EXPECT_THAT(what, HasSubstr(". (" + path + ":" + c.message)) << c.text;
      EXPECT_THAT(what, EndsWith(")")) << c.text;
    }
  }
}

TEST(SettingsFile, WhatIsWrittenIsReadBackAndABadValueLeavesTheOldFile) {
  test::ScratchFolder folder;
  SettingsFile settings;
  settings.path = folder / "zelvor" / "zelvor.conf";
  settings.registerUrl = SetValue{"https://127.0.0.1:8443/CitizenApi.svc", 0};
  settings.serial = SetValue{"0123456789ABCDEF0123456789ABCDEF012345", 0};
  settings.connections = SetValue{"3", 0};
  WriteSettingsFile(settings);
  const SettingsFile read = ReadSettingsFile(settings.path);
  ASSERT_TRUE(read.registerUrl && read.serial && read.connections);
  EXPECT_EQ(read.registerUrl->value, settings.registerUrl->value);
  EXPECT_EQ(read.serial->value, settings.serial->value);
  EXPECT_EQ(read.Connections(), 3);
  EXPECT_FALSE(read.vatUrl || read.store || read.name);

  const std::string before = SettingsText(read);
  for (const SetValue& bad :
       {SetValue{"http://127.0.0.1/", 0}, SetValue{"https://a/\n[vat]\nurl = http://b/", 0}}) {
    SettingsFile changed = read;
    changed.registerUrl = bad;
    EXPECT_THROW(WriteSettingsFile(changed), SettingsError) << bad.value;
    EXPECT_EQ(SettingsText(ReadSettingsFile(settings.path)), before);
  }
  EXPECT_FALSE(std::filesystem::exists(settings.path.string() + ".new"));
}

// Saving rewrites the user's own file: comments, blank lines, spacing and order stay, and only
// the lines of values that changed differ.
TEST(SettingsFile, SavingChangesOnlyTheLinesOfValuesThatChanged) {
  const std::string serial = "0123456789ABCDEF0123456789ABCDEF012345";
  const std::string registerLines =
      "; moje ustawienia – proszę nie zmieniać\n"
      "[register]\n"
      "# serwer testowy\n"
      "url=https://127.0.0.1:8443/CitizenApi.svc\n"
      "  connections   =   2\n"
      "\n";
  const std::string vatLines =
      "; usługa VAT\n"
      "[vat]\n"
      "url = http://127.0.0.1:9/vies\n";
  const std::string certificateLines =
      "\n"
      "[certificate]\n"
      "serial = " +
      serial +
      "\n"
      "name = KREPTD\n";
  const std::string users = registerLines + vatLines + certificateLines;
  const auto replaced = [](std::string text, const std::string& from, const std::string& to) {
    return text.replace(text.find(from), from.size(), to);
  };
  struct Case {
    const char* what;
    std::string before;
    std::function<void(SettingsFile&)> edit;
    std::string after;
  };
  const Case cases[] = {
      {"nothing changed", users, [](SettingsFile&) {}, users},
      {"a changed value keeps its spacing", users,
       [](SettingsFile& s) { s.connections->value = "5"; },
       replaced(users, "  connections   =   2\n", "  connections   =   5\n")},
      {"a value written without spaces", users,
       [](SettingsFile& s) { s.registerUrl->value = "https://rejestr.example/api"; },
       replaced(users, "url=https://127.0.0.1:8443/CitizenApi.svc\n",
                "url=https://rejestr.example/api\n")},
      {"an emptied key goes", users, [](SettingsFile& s) { s.name.reset(); },
       replaced(users, "name = KREPTD\n", "")},
      {"a new key follows the last line of its section",
       replaced(users, "  connections   =   2\n", ""),
       [](SettingsFile& s) {
         s.connections = SetValue{"3", 0};
       },
       replaced(users, "  connections   =   2\n", "connections = 3\n")},
      {"a key of a missing section brings the section at the end", registerLines + vatLines,
       [&](SettingsFile& s) {
         s.serial = SetValue{serial, 0};
         s.issuer = SetValue{"CN=Test CA", 0};
       },
       registerLines + vatLines + "\n[certificate]\nissuer = CN=Test CA\nserial = " + serial +
           "\n"},
      {"a byte-order mark, CR LF endings and no end on the last line",
       "\xEF\xBB\xBF; z Notatnika\r\n[register]\r\nconnections = 2",
       [](SettingsFile& s) {
         s.connections->value = "4";
         s.registerUrl = SetValue{"https://a.example/x", 0};
       },
       "\xEF\xBB\xBF; z Notatnika\r\n[register]\r\nconnections = 4\r\nurl = "
       "https://a.example/x\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    test::ScratchFolder folder;
    const std::string path = Write(folder, c.before);
    SettingsFile settings = ReadSettingsFile(path);
    c.edit(settings);
    WriteSettingsFile(settings);
    EXPECT_EQ(Read(path), c.after);
    EXPECT_FALSE(std::filesystem::exists(path + ".new"));
  }
}

TEST(SettingsFile, ANewFileStartsWithACommentAndHoldsTheKeysBySections) {
  test::ScratchFolder folder;
  SettingsFile settings;
  settings.path = folder / "zelvor" / "zelvor.conf";
  settings.serial = SetValue{"0123456789ABCDEF0123456789ABCDEF012345", 0};
  settings.connections = SetValue{"3", 0};
  settings.vatUrl = SetValue{"http://127.0.0.1:9/vies", 0};
  WriteSettingsFile(settings);
  const std::string text = Read(settings.path);
  const std::size_t keys = text.find("\n\n[");
  ASSERT_NE(keys, std::string::npos) << text;
  EXPECT_THAT(text, StartsWith("; Ustawienia programu Zelvor."));
  EXPECT_EQ(text.substr(keys),
            "\n\n[register]\nconnections = 3\n\n[vat]\nurl = http://127.0.0.1:9/vies\n"
            "\n[certificate]\nserial = 0123456789ABCDEF0123456789ABCDEF012345\n");
  EXPECT_EQ(ReadSettingsFile(settings.path).serial->value, settings.serial->value);
}

// Every value that cannot be used is named at once, each in Polish first; and a file that would
// not be read back is not written.
TEST(SettingsFile, RefusedValuesAreAllNamedAndTheFileIsLeftAsItWas) {
  test::ScratchFolder folder;
  const std::string before = "; moje\n[register]\nconnections = 2\n";
  const std::string path = Write(folder, before);
  SettingsFile settings = ReadSettingsFile(path);
  EXPECT_TRUE(SettingsProblems(settings).empty());

  settings.registerUrl = SetValue{"http://127.0.0.1/x", 0};
  settings.connections->value = "12";
  settings.name = SetValue{"KREPTD", 0};
  const std::map<std::string, std::string> problems = SettingsProblems(settings);
  ASSERT_EQ(problems.size(), 2u);
  EXPECT_THAT(problems.at("[register] url"),
              StartsWith("Rejestr jest pytany tylko przez szyfrowane połączenie"));
  EXPECT_THAT(problems.at("[register] url"),
              EndsWith(" ([register] url: the register is only asked over https; not an https:// "
                       "address: http://127.0.0.1/x)"));
  EXPECT_THAT(problems.at("[register] connections"), StartsWith("Liczba połączeń z rejestrem"));
  EXPECT_THAT(problems.at("[register] connections"),
              EndsWith(" ([register] connections: a number from 1 to 8, not '12')"));
  try {
    WriteSettingsFile(settings);
    ADD_FAILURE() << "written";
  } catch (const SettingsError& e) {
    EXPECT_THAT(e.what(), StartsWith("Rejestr jest pytany"));
    EXPECT_THAT(e.what(), HasSubstr("(" + path + ": [register] url: the register is only asked"));
    EXPECT_THAT(e.what(), HasSubstr("\nLiczba połączeń z rejestrem"));
  }
  EXPECT_EQ(Read(path), before);

  // The file gained a line it does not know since it was read: saving would leave a file that
  // cannot be read back.
  const std::string changed = before + "adres = https://x/\n";
  Write(folder, changed);
  settings.registerUrl.reset();
  settings.connections->value = "3";
  try {
    WriteSettingsFile(settings);
    ADD_FAILURE() << "written";
  } catch (const SettingsError& e) {
    EXPECT_THAT(e.what(), StartsWith("Plik ustawień ma ustawienie o nieznanej nazwie"));
    EXPECT_THAT(e.what(), HasSubstr(path + ":4: [register] adres: no such key"));
  }
  EXPECT_EQ(Read(path), changed);
  EXPECT_FALSE(std::filesystem::exists(path + ".new"));
}

TEST(SettingsFile, AFolderInItsPlaceCannotBeRead) {
  test::ScratchFolder folder;
  std::filesystem::create_directory(folder / "zelvor.conf");
  EXPECT_THROW(ReadSettingsFile(folder / "zelvor.conf"), SettingsError);
}

}  // namespace
}  // namespace zelvor::platform
