#pragma once
// The user's folders on Windows, as the environment names them, else as the system knows them.

#include <shlobj.h>

#include <filesystem>

namespace zelvor::platform {

// The folder the environment variable holds (e.g. APPDATA), else the known folder's path.
std::filesystem::path UserFolder(const wchar_t* variable, REFKNOWNFOLDERID known);

}  // namespace zelvor::platform
