// Where the settings file is on Windows: the user's roaming application data, %APPDATA%.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>

#include "platform/settings_file.h"

namespace zelvor::platform {
namespace {

TEST(SettingsFile, ItsPlaceFollowsAppData) {
  const wchar_t* before = ::_wgetenv(L"APPDATA");
  ASSERT_NE(before, nullptr) << "Windows sets APPDATA for every user";
  const std::wstring kept = before;
  const std::filesystem::path system = DefaultSettingsFile();
  EXPECT_EQ(system, std::filesystem::path(kept) / L"Zelvor" / L"zelvor.conf");

  ::_wputenv_s(L"APPDATA", L"C:\\Użytkownicy\\Łucja\\Dane");
  EXPECT_EQ(PathText(DefaultSettingsFile()), "C:\\Użytkownicy\\Łucja\\Dane\\Zelvor\\zelvor.conf");
  // Without the variable the system's own folder still tells.
  ::_wputenv_s(L"APPDATA", L"");
  EXPECT_EQ(DefaultSettingsFile(), system);
  ::_wputenv_s(L"APPDATA", kept.c_str());
}

}  // namespace
}  // namespace zelvor::platform
