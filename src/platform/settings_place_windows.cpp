#include <cstdlib>

#include "platform/settings_file.h"
#include "platform/windows_folders.h"

namespace zelvor::platform {

namespace fs = std::filesystem;

fs::path UserFolder(const wchar_t* variable, REFKNOWNFOLDERID known) {
  if (const wchar_t* value = ::_wgetenv(variable); value && *value) return value;
  fs::path folder;
  wchar_t* path = nullptr;
  if (::SHGetKnownFolderPath(known, 0, nullptr, &path) == S_OK) folder = path;
  ::CoTaskMemFree(path);
  return folder;
}

fs::path DefaultSettingsFile() {
  return UserFolder(L"APPDATA", FOLDERID_RoamingAppData) / "Zelvor" / "zelvor.conf";
}

}  // namespace zelvor::platform
