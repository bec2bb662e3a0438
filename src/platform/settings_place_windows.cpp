#include <shlobj.h>
#include <windows.h>

#include <cstdlib>
#include <memory>

#include "platform/settings_file.h"

namespace zelvor::platform {

namespace fs = std::filesystem;

// %APPDATA% as the user's environment has it, else the roaming application data folder the
// system knows.
fs::path DefaultSettingsFile() {
  fs::path appData;
  if (const wchar_t* variable = ::_wgetenv(L"APPDATA"); variable && *variable) {
    appData = variable;
  } else {
    wchar_t* known = nullptr;
    if (::SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &known) == S_OK) {
      appData = known;
    }
    ::CoTaskMemFree(known);
  }
  return appData / "Zelvor" / "zelvor.conf";
}

}  // namespace zelvor::platform
