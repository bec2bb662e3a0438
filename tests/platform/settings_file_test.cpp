#include "platform/settings_file.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>

#include "support/scratch_folder.h"

namespace zelvor::platform {
namespace {

using testing::HasSubstr;

std::string Write(const test::ScratchFolder& folder, const std::string& text) {
  const std::string path = folder.File("zelvor.conf");
  std::ofstream(path) << text;
  return path;
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

TEST(SettingsFile, WhatCannotBeUsedIsNamedWithFileKeyAndLine) {
  struct Case {
    std::string text;
    std::string message;  // after "<file>:"
  };
  const Case cases[] = {
      {"[register]\nurl = http://127.0.0.1/CitizenApi.svc\n",
       "2: [register] url: the register is only asked over https"},
      {"[register]\nconnections = 9\n", "2: [register] connections: a number from 1 to 8, not '9'"},
      {"[register]\nconnections = 0\n", "2: [register] connections: a number from 1 to 8"},
      {"[register]\n\nconnections = dwa\n", "3: [register] connections: a number from 1 to 8"},
      {"[certificate]\nserial = 1234\n",
       "2: [certificate] serial: a serial number is 38 hexadecimal digits, not '1234'"},
      {"[certificate]\nserial = 0123456789abcdef0123456789abcdef01234g\n",
       "2: [certificate] serial: a serial number is 38 hexadecimal digits"},
      {"[certificate]\nstore = certyfikaty\n",
       "2: [certificate] store: the store folder must be an absolute path"},
      {"[vat]\nurl = ec.europa.eu\n", "2: [vat] url: not an address"},
      {"[register]\nadres = https://x/\n", "2: [register] adres: no such key"},
      {"url = https://x/\n", "1: url: a key before any [section]"},
      {"[rejestr]\n", "1: [rejestr]: no such section"},
      {"[register\n", "1: a section ends with ']'"},
      {"[register]\nurl\n", "2: expected key = value"},
      {"[register]\nurl = https://a/\nurl = https://b/\n",
       "3: [register] url: given twice (first on line 2)"},
  };
  for (const Case& c : cases) {
    test::ScratchFolder folder;
    const std::string path = Write(folder, c.text);
    try {
      ReadSettingsFile(path);
      ADD_FAILURE() << "accepted: " << c.text;
    } catch (const SettingsError& e) {
      EXPECT_THAT(e.what(), HasSubstr(path + ":" + c.message)) << c.text;
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

TEST(SettingsFile, AFolderInItsPlaceCannotBeRead) {
  test::ScratchFolder folder;
  std::filesystem::create_directory(folder / "zelvor.conf");
  EXPECT_THROW(ReadSettingsFile(folder / "zelvor.conf"), SettingsError);
}

}  // namespace
}  // namespace zelvor::platform
