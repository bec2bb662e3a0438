#pragma once
// The few file-system calls the workbook's saves need beyond std::filesystem, one implementation
// per operating system (file_system_posix.cpp, file_system_windows.cpp). Paths are UTF-8 text
// everywhere else; NativePath turns them into the system's own form, so that Polish letters
// work in every name on Windows as well.

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <string>
#include <string_view>

namespace zelvor::workbook::files {

namespace fs = std::filesystem;

// UTF-8 text to a path and back.
fs::path NativePath(std::string_view utf8);
std::string Utf8(const fs::path& path);

// The current process, and whether a process is known to have ended (false while it runs or
// when that cannot be told).
std::uint64_t CurrentProcess();
bool ProcessEnded(std::uint64_t process);

// The local calendar time of a moment; false when the system cannot tell it.
bool LocalTime(std::time_t moment, std::tm& local);

// The text of the system's last error, for messages.
std::string LastError();

// Creates a new, empty file; false when the name is taken. Throws EWorkbookError with the reason
// otherwise.
bool CreateNew(const fs::path& path);
// Gives an existing file a second name; false when that name is taken. Throws EWorkbookError.
bool LinkNew(const fs::path& existing, const fs::path& name);
// Renames `from` over `to` in one step. Throws EWorkbookError.
void ReplaceWith(const fs::path& from, const fs::path& to);
// Flushes a written file to the disk (throws EWorkbookError), and a folder's entries (best
// effort: some file systems refuse it, and the rename is atomic there all the same).
void FlushFile(const fs::path& path);
void FlushFolder(const fs::path& folder);
// Removes a file; no error when it is gone already.
void Remove(const fs::path& path) noexcept;

// A file or folder its user marked read-only; false when it does not exist.
bool MarkedReadOnly(const fs::path& path);
// Whether this process may write the file (or create files in the folder).
bool MayWrite(const fs::path& path);
// Whether another program holds the file open so that it may not be written now (a spreadsheet
// application locks the workbook it shows); never on systems without such locks.
bool HeldOpenElsewhere(const fs::path& path);
// Gives `path` the permissions of `model` (no-op where files have no mode bits).
void CopyPermissions(const fs::path& model, const fs::path& path);

}  // namespace zelvor::workbook::files
