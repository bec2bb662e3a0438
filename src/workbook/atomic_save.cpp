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

// The PID in a temporary file's name, or 0 when the name is not one of ours.
pid_t TempMaker(std::string_view name) {
  if (!name.starts_with('.') || !name.ends_with(".tmp")) return 0;
  name.remove_suffix(4);
  const auto mark = name.rfind(".~");
  const auto dash = name.rfind('-');
  if (mark == std::string_view::npos || mark == 0 || dash == std::string_view::npos ||
      dash < mark + 3 || dash + 1 == name.size()) {
    return 0;
  }
  const auto digits = [](std::string_view s) {
    return s.find_first_not_of("0123456789") == std::string_view::npos;
  };
  const std::string_view pid = name.substr(mark + 2, dash - mark - 2);
  if (!digits(pid) || !digits(name.substr(dash + 1))) return 0;
  pid_t value = 0;
  const auto [end, ec] = std::from_chars(pid.data(), pid.data() + pid.size(), value);
  return ec == std::errc{} && end == pid.data() + pid.size() ? value : 0;
}

// Temporary files whose maker was killed mid-save would stay for ever: remove them. A file of a
// process that still runs (or that we may not signal) is left alone.
void RemoveStaleTemps(const fs::path& folder) {
  std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), ::closedir);
  if (!dir) return;  // the save itself reports a folder it cannot use
  while (const dirent* entry = ::readdir(dir.get())) {
    const pid_t maker = TempMaker(entry->d_name);
    if (maker <= 0 || maker == ::getpid()) continue;
    if (::kill(maker, 0) == 0 || errno != ESRCH) continue;
    struct stat st {};
    if (::fstatat(::dirfd(dir.get()), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 &&
        S_ISREG(st.st_mode)) {
      ::unlinkat(::dirfd(dir.get()), entry->d_name, 0);
    }
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
    temp.clear();
    SyncPath(FolderOf(real).string(), O_RDONLY | O_DIRECTORY);
  } catch (const EWorkbookError& e) {
    if (!temp.empty()) ::unlink(temp.c_str());
    throw EWorkbookError("Cannot save workbook \"" + target + "\": " + e.what());
  } catch (...) {
    if (!temp.empty()) ::unlink(temp.c_str());
    throw;
  }
}

}  // namespace zelvor::workbook
