#include "workbook/atomic_save.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <memory>

#include "workbook/errors.h"
#include "workbook/saves_in_progress.h"

namespace zelvor::workbook {
namespace {

namespace fs = std::filesystem;

std::string ErrnoText() {
  return std::strerror(errno);
}

fs::path FolderOf(const fs::path& target) {
  return target.parent_path().empty() ? fs::path(".") : target.parent_path();
}

// ".NAME.~PID-N.tmp": the PID tells a later save whether the file's maker is still alive.
std::string TempName(const fs::path& target, unsigned serial) {
  return "." + target.filename().string() + ".~" + std::to_string(::getpid()) + "-" +
         std::to_string(serial) + ".tmp";
}

// ".NAME.~PID-r.tmp": a second name of a reserved file, kept until its first real save. While
// both names share one file, the file at NAME is only a reservation.
constexpr std::string_view kReservedTag = "r";

fs::path ReservationMarker(const fs::path& target, pid_t maker) {
  return FolderOf(target) / ("." + target.filename().string() + ".~" + std::to_string(maker) + "-" +
                             std::string(kReservedTag) + ".tmp");
}

// What a temporary file's name tells: who made it, for which file, and whether it marks a
// reservation. maker is 0 when the name is not one of ours.
struct TempFileName {
  pid_t maker = 0;
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
  pid_t value = 0;
  const auto [end, ec] = std::from_chars(pid.data(), pid.data() + pid.size(), value);
  if (ec != std::errc{} || end != pid.data() + pid.size()) return {};
  return {value, std::string(name.substr(1, mark - 1)), reservation};
}

bool SameFile(int folder, const std::string& a, const std::string& b) {
  struct stat first {};
  struct stat second {};
  return ::fstatat(folder, a.c_str(), &first, AT_SYMLINK_NOFOLLOW) == 0 &&
         ::fstatat(folder, b.c_str(), &second, AT_SYMLINK_NOFOLLOW) == 0 &&
         S_ISREG(first.st_mode) && first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

// Temporary files whose maker was killed mid-save would stay for ever: remove them, and with a
// reservation marker the file it reserved, when that was never saved over. A file of a process
// that still runs (or that we may not signal) is left alone.
void RemoveStaleTemps(const fs::path& folder) {
  std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), ::closedir);
  if (!dir) return;  // the save itself reports a folder it cannot use
  const int fd = ::dirfd(dir.get());
  while (const dirent* entry = ::readdir(dir.get())) {
    const TempFileName temp = ParseTempName(entry->d_name);
    if (temp.maker <= 0 || temp.maker == ::getpid()) continue;
    if (::kill(temp.maker, 0) == 0 || errno != ESRCH) continue;
    struct stat st {};
    if (::fstatat(fd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode)) {
      continue;
    }
    if (temp.reservation && SameFile(fd, entry->d_name, temp.target)) {
      ::unlinkat(fd, temp.target.c_str(), 0);
    }
    ::unlinkat(fd, entry->d_name, 0);
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

// A file or folder without any write bit was marked read-only by its user: it is refused even to
// root, for whom access() would allow the write.
bool MarkedReadOnly(const struct stat& st) {
  return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

// Throws EWorkbookError with the reason when `real` may not be replaced or its folder may not
// take a new file.
void CheckRights(const fs::path& real) {
  struct stat st {};
  if (::stat(real.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) throw EWorkbookError("a folder of that name exists");
    if (MarkedReadOnly(st) || ::access(real.c_str(), W_OK) != 0) {
      throw EWorkbookError("the file \"" + real.string() + "\" is read-only");
    }
  } else if (errno != ENOENT) {
    throw EWorkbookError("cannot look at the file: " + ErrnoText());
  }
  const fs::path folder = FolderOf(real);
  struct stat dir {};
  if (::stat(folder.c_str(), &dir) != 0) {
    throw EWorkbookError("its folder \"" + folder.string() + "\" cannot be used: " + ErrnoText());
  }
  if (MarkedReadOnly(dir) || ::access(folder.c_str(), W_OK | X_OK) != 0) {
    throw EWorkbookError("its folder \"" + folder.string() + "\" is read-only");
  }
}

// Opens and creates a new file that did not exist, so that it gets the default permissions.
std::string CreateTempBeside(const fs::path& target, mode_t& mode) {
  static std::atomic<unsigned> counter{0};
  const fs::path folder = FolderOf(target);
  for (int attempt = 0; attempt < 100; ++attempt) {
    const auto path = (folder / TempName(target, counter++)).string();
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      struct stat st {};
      ::fstat(fd, &st);
      mode = st.st_mode & 07777;
      ::close(fd);
      return path;
    }
    if (errno != EEXIST) {
      throw EWorkbookError("cannot create a file in its folder \"" + folder.string() +
                           "\": " + ErrnoText());
    }
  }
  throw EWorkbookError("cannot create a temporary file in its folder");
}

void SyncPath(const std::string& path, int flags) {
  const int fd = ::open(path.c_str(), flags | O_CLOEXEC);
  if (fd < 0) throw EWorkbookError("cannot reopen the written file: " + ErrnoText());
  const int rc = ::fsync(fd);
  const int err = errno;
  ::close(fd);
  // Folders on some file systems refuse fsync; the rename is still atomic there.
  if (rc != 0 && (flags & O_DIRECTORY) == 0) {
    errno = err;
    throw EWorkbookError("cannot flush the written file to disk: " + ErrnoText());
  }
}

// A save that failed leaves nothing behind.
void Abandon(const std::string& temp) {
  if (temp.empty()) return;
  ::unlink(temp.c_str());
  ForgetSaveInProgress(temp);
}

}  // namespace

void CheckCanSave(const std::string& target) {
  try {
    if (fs::path(target).filename().empty()) throw EWorkbookError("the path names no file");
    const fs::path real = ResolveLinks(target);
    CheckRights(real);
    // Rights say nothing of a read-only file system or a full folder: try it.
    mode_t mode = 0;
    const std::string probe = CreateTempBeside(real, mode);
    ::unlink(probe.c_str());
  } catch (const EWorkbookError& e) {
    throw EWorkbookError("Cannot save workbook \"" + target + "\": " + e.what());
  }
}

void SaveAtomically(const std::string& target,
                    const std::function<void(const std::string& tempPath)>& write) {
  std::string temp;
  try {
    if (fs::path(target).filename().empty()) throw EWorkbookError("the path names no file");
    const fs::path real = ResolveLinks(target);
    CheckRights(real);
    RemoveStaleTemps(FolderOf(real));
    mode_t mode = 0644;
    temp = CreateTempBeside(real, mode);
    NoteSaveInProgress(temp);
    write(temp);
    struct stat old {};
    if (::stat(real.c_str(), &old) == 0) {
      if (S_ISDIR(old.st_mode)) throw EWorkbookError("a folder of that name exists");
      mode = old.st_mode & 07777;
    }
    if (::chmod(temp.c_str(), mode) != 0) {
      throw EWorkbookError("cannot set the file's permissions: " + ErrnoText());
    }
    SyncPath(temp, O_RDONLY);
    if (::rename(temp.c_str(), real.c_str()) != 0) {
      throw EWorkbookError("cannot replace the file: " + ErrnoText());
    }
    ForgetSaveInProgress(temp);
    temp.clear();
    // The first save over a reserved file makes it the run's own: the marker goes.
    ::unlink(ReservationMarker(real, ::getpid()).c_str());
    SyncPath(FolderOf(real).string(), O_RDONLY | O_DIRECTORY);
  } catch (const EWorkbookError& e) {
    Abandon(temp);
    throw EWorkbookError("Cannot save workbook \"" + target + "\": " + e.what());
  } catch (...) {
    Abandon(temp);
    throw;
  }
}

bool ReserveNewFile(const std::string& target,
                    const std::function<void(const std::string& tempPath)>& write) {
  const fs::path path(target);
  const std::string marker = ReservationMarker(path, ::getpid()).string();
  try {
    if (path.filename().empty()) throw EWorkbookError("the path names no file");
    std::error_code ignored;
    if (fs::exists(fs::symlink_status(path, ignored))) return false;
    CheckRights(path);
    RemoveStaleTemps(FolderOf(path));
    ::unlink(marker.c_str());  // left by an earlier try of ours
    const int fd = ::open(marker.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
      throw EWorkbookError("cannot create a file in its folder \"" + FolderOf(path).string() +
                           "\": " + ErrnoText());
    }
    ::close(fd);
    write(marker);
    SyncPath(marker, O_RDONLY);
    // A second name for the complete file: it appears whole, and never over another file.
    if (::link(marker.c_str(), target.c_str()) != 0) {
      const int err = errno;
      ::unlink(marker.c_str());
      if (err == EEXIST) return false;
      errno = err;
      throw EWorkbookError("cannot create the file: " + ErrnoText());
    }
    SyncPath(FolderOf(path).string(), O_RDONLY | O_DIRECTORY);
    return true;
  } catch (const EWorkbookError& e) {
    ::unlink(marker.c_str());
    throw EWorkbookError("Cannot save workbook \"" + target + "\": " + e.what());
  } catch (...) {
    ::unlink(marker.c_str());
    throw;
  }
}

bool DiscardReserved(const std::string& target) {
  const fs::path path(target);
  const std::string marker = ReservationMarker(path, ::getpid()).string();
  if (!SameFile(AT_FDCWD, marker, target)) return false;
  ::unlink(target.c_str());
  ::unlink(marker.c_str());
  return true;
}

}  // namespace zelvor::workbook
