#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/settings_file.h"

namespace zelvor::platform {

namespace fs = std::filesystem;

fs::path DefaultSettingsFile() {
  fs::path config;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && fs::path(xdg).is_absolute()) {
    config = xdg;
  } else if (const char* home = std::getenv("HOME"); home && *home) {
    config = fs::path(home) / ".config";
  } else if (const passwd* user = ::getpwuid(::getuid()); user && user->pw_dir) {
    config = fs::path(user->pw_dir) / ".config";
  }
  return config / "zelvor" / "zelvor.conf";
}

}  // namespace zelvor::platform
