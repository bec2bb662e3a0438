#include "workbook/atomic_save.h"

#include <atomic>
#include <charconv>

#include "workbook/errors.h"
#include "workbook/file_system.h"
#include "workbook/polish_messages.h"
#include "workbook/saves_in_progress.h"

namespace zelvor::workbook {
namespace {

namespace fs = std::filesystem;

fs::path FolderOf(const fs::path& target) {
  return target.parent_path().empty() ? fs::path(".") : target.parent_path();
}

// ".NAME.~PID-N.tmp": the process id tells a later save whether the file's maker is still alive.
fs::path TempPath(const fs::path& target, unsigned serial) {
  return FolderOf(target) / files::NativePath("." + files::Utf8(target.filename()) + ".~" +
                                              std::to_string(files::CurrentProcess()) + "-" +
                                              std::to_string(serial) + ".tmp");
}

// ".NAME.~PID-r.tmp": a second name of a reserved file, kept until its first real save. While
// both names share one file, the file at NAME is only a reservation.
constexpr std::string_view kReservedTag = "r";

fs::path ReservationMarker(const fs::path& target, std::uint64_t maker) {
  return FolderOf(target) /
         files::NativePath("." + files::Utf8(target.filename()) + ".~" + std::to_string(maker) +
                           "-" + std::string(kReservedTag) + ".tmp");
}

// What a temporary file's name tells: who made it, for which file, and whether it marks a
// reservation. maker is 0 when the name is not one of ours.
struct TempFileName {
  std::uint64_t maker = 0;
  std::string target;
  bool reservation = false;
};

TempFileName ParseTempName(std::string_view name) {
  if (!name.starts_with('.') || !name.ends_with(".tmp")) return {};
  name.remove_suffix(4);
  const auto mark = name.rfind(".~");
  const auto dash = name.rfind('-');
  if (mark == std::string_view::npos || mark <= 1 || dash == std::string_view::npos ||
      dash < mark + 3 || dash + 1 == name.size()) {
    return {};
  }
  const auto digits = [](std::string_view s) {
    return s.find_first_not_of("0123456789") == std::string_view::npos;
  };
  const std::string_view pid = name.substr(mark + 2, dash - mark - 2);
  const std::string_view tag = name.substr(dash + 1);
  const bool reservation = tag == kReservedTag;
  if (!digits(pid) || !(reservation || digits(tag))) return {};
  std::uint64_t value = 0;
  const auto [end, ec] = std::from_chars(pid.data(), pid.data() + pid.size(), value);
  if (ec != std::errc{} || end != pid.data() + pid.size()) return {};
  return {value, std::string(name.substr(1, mark - 1)), reservation};
}

bool IsRegularFile(const fs::path& path) {
  std::error_code ignored;
  return fs::is_regular_file(fs::symlink_status(path, ignored));
}

bool SameFile(const fs::path& a, const fs::path& b) {
  std::error_code ignored;
  return IsRegularFile(a) && IsRegularFile(b) && fs::equivalent(a, b, ignored);
}

// Temporary files whose maker was killed mid-save would stay for ever: remove them, and with a
// reservation marker the file it reserved, when that was never saved over. A file of a process
// that still runs (or whose end cannot be told) is left alone.
void RemoveStaleTemps(const fs::path& folder) {
  std::error_code error;
  fs::directory_iterator entries(folder, error);
  if (error) return;  // the save itself reports a folder it cannot use
  for (const fs::directory_entry& entry : entries) {
    const TempFileName temp = ParseTempName(files::Utf8(entry.path().filename()));
    if (temp.maker == 0 || temp.maker == files::CurrentProcess()) continue;
    if (!files::ProcessEnded(temp.maker) || !IsRegularFile(entry.path())) continue;
    const fs::path reserved = folder / files::NativePath(temp.target);
    if (temp.reservation && SameFile(entry.path(), reserved)) files::Remove(reserved);
    files::Remove(entry.path());
  }
}

// The file a path finally names: a symbolic link is followed so that the workbook it points to
// is written and the link stays a link. A dangling link gives the file it would point to.
fs::path ResolveLinks(const fs::path& target) {
  fs::path path = target;
  for (int hop = 0; hop < 40; ++hop) {
    std::error_code ec;
    if (!fs::is_symlink(fs::symlink_status(path, ec))) return path;
    const fs::path link = fs::read_symlink(path, ec);
    if (ec) throw EWorkbookError("cannot follow the symbolic link: " + ec.message());
    path = link.is_absolute() ? link : FolderOf(path) / link;
  }
  throw EWorkbookError("too many levels of symbolic links");
}

// Throws EWorkbookError with the reason when `real` may not be replaced or its folder may not
// take a new file.
void CheckRights(const fs::path& real) {
  std::error_code error;
  const fs::file_status status = fs::status(real, error);
  if (fs::exists(status)) {
    if (fs::is_directory(status)) throw EWorkbookError("a folder of that name exists");
    if (files::HeldOpenElsewhere(real)) {
      throw EWorkbookError(kHeldOpenReason);
    }
    if (files::MarkedReadOnly(real) || !files::MayWrite(real)) {
      throw EWorkbookError("the file \"" + files::Utf8(real) + "\" is read-only");
    }
  } else if (error && error != std::errc::no_such_file_or_directory) {
    throw EWorkbookError("cannot look at the file: " + error.message());
  }
  const fs::path folder = FolderOf(real);
  if (!fs::is_directory(folder, error)) {
    throw EWorkbookError("its folder \"" + files::Utf8(folder) +
                         "\" cannot be used: " + (error ? error.message() : "not a folder"));
  }
  if (files::MarkedReadOnly(folder) || !files::MayWrite(folder)) {
    throw EWorkbookError("its folder \"" + files::Utf8(folder) + "\" is read-only");
  }
}

// Creates a new file beside the target, so that it gets the folder's default permissions.
fs::path CreateTempBeside(const fs::path& target) {
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    const fs::path path = TempPath(target, counter++);
    if (files::CreateNew(path)) return path;
  }
  throw EWorkbookError("cannot create a temporary file in its folder");
}

// A save that failed leaves nothing behind.
void Abandon(const fs::path& temp) {
  if (temp.empty()) return;
  files::Remove(temp);
  ForgetSaveInProgress(files::Utf8(temp));
}

}  // namespace

void CheckCanSave(const std::string& target) {
  try {
    const fs::path path = files::NativePath(target);
    if (path.filename().empty()) throw EWorkbookError("the path names no file");
    const fs::path real = ResolveLinks(path);
    CheckRights(real);
    // Rights say nothing of a read-only file system or a full folder: try it.
    files::Remove(CreateTempBeside(real));
  } catch (const EWorkbookError& e) {
    throw EWorkbookError(SaveFailure(target, e.what()));
  }
}

void SaveAtomically(const std::string& target,
                    const std::function<void(const std::string& tempPath)>& write) {
  fs::path temp;
  try {
    const fs::path path = files::NativePath(target);
    if (path.filename().empty()) throw EWorkbookError("the path names no file");
    const fs::path real = ResolveLinks(path);
    CheckRights(real);
    RemoveStaleTemps(FolderOf(real));
    temp = CreateTempBeside(real);
    NoteSaveInProgress(files::Utf8(temp));
    write(files::Utf8(temp));
    std::error_code error;
    if (fs::is_directory(real, error)) throw EWorkbookError("a folder of that name exists");
    files::CopyPermissions(real, temp);
    files::FlushFile(temp);
    files::ReplaceWith(temp, real);
    ForgetSaveInProgress(files::Utf8(temp));
    temp.clear();
    // The first save over a reserved file makes it the run's own: the marker goes.
    files::Remove(ReservationMarker(real, files::CurrentProcess()));
    files::FlushFolder(FolderOf(real));
  } catch (const EWorkbookError& e) {
    Abandon(temp);
    throw EWorkbookError(SaveFailure(target, e.what()));
  } catch (...) {
    Abandon(temp);
    throw;
  }
}

bool ReserveNewFile(const std::string& target,
                    const std::function<void(const std::string& tempPath)>& write) {
  const fs::path path = files::NativePath(target);
  const fs::path marker = ReservationMarker(path, files::CurrentProcess());
  try {
    if (path.filename().empty()) throw EWorkbookError("the path names no file");
    std::error_code ignored;
    if (fs::exists(fs::symlink_status(path, ignored))) return false;
    CheckRights(path);
    RemoveStaleTemps(FolderOf(path));
    files::Remove(marker);  // left by an earlier try of ours
    if (!files::CreateNew(marker)) throw EWorkbookError("cannot create a temporary file");
    write(files::Utf8(marker));
    files::FlushFile(marker);
    // A second name for the complete file: it appears whole, and never over another file.
    if (!files::LinkNew(marker, path)) {
      files::Remove(marker);
      return false;
    }
    files::FlushFolder(FolderOf(path));
    return true;
  } catch (const EWorkbookError& e) {
    files::Remove(marker);
    throw EWorkbookError(SaveFailure(target, e.what()));
  } catch (...) {
    files::Remove(marker);
    throw;
  }
}

bool DiscardReserved(const std::string& target) {
  const fs::path path = files::NativePath(target);
  const fs::path marker = ReservationMarker(path, files::CurrentProcess());
  if (!SameFile(marker, path)) return false;
  files::Remove(path);
  files::Remove(marker);
  return true;
}

}  // namespace zelvor::workbook
