// Where the settings file is on a POSIX desktop.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>

#include "platform/settings_file.h"

namespace zelvor::platform {
namespace {

TEST(SettingsFile, ItsPlaceFollowsXdgConfigHome) {
  const char* before = std::getenv("XDG_CONFIG_HOME");
  const std::string kept = before ? before : "";
  setenv("XDG_CONFIG_HOME", "/tmp/konfiguracja", 1);
  EXPECT_EQ(DefaultSettingsFile(), "/tmp/konfiguracja/zelvor/zelvor.conf");
  setenv("XDG_CONFIG_HOME", "wzgledna",
         1);  // not absolute: ignored, as the XDG base directories want
  EXPECT_EQ(DefaultSettingsFile().filename(), "zelvor.conf");
  EXPECT_NE(DefaultSettingsFile().string().rfind("wzgledna", 0), 0u);
  if (before) {
    setenv("XDG_CONFIG_HOME", kept.c_str(), 1);
  } else {
    unsetenv("XDG_CONFIG_HOME");
  }
}

}  // namespace
}  // namespace zelvor::platform
