#include "workbook/atomic_save.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "workbook/errors.h"

namespace zelvor::workbook {
namespace {

std::string ErrnoText() {
  return std::strerror(errno);
}

// Opens and creates a new file that did not exist, so that it gets the default permissions.
std::string CreateTempBeside(const std::filesystem::path& target, mode_t& mode) {
  static std::atomic<unsigned> counter{0};
  const auto folder =
      target.parent_path().empty() ? std::filesystem::path(".") : target.parent_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    const auto name = "." + target.filename().string() + ".~" + std::to_string(getpid()) + "-" +
                      std::to_string(counter++) + ".tmp";
    const auto path = (folder / name).string();
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      struct stat st {};
      ::fstat(fd, &st);
      mode = st.st_mode & 07777;
      ::close(fd);
      return path;
    }
    if (errno != EEXIST) throw EWorkbookError("cannot create a file in its folder: " + ErrnoText());
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

std::string FolderOf(const std::filesystem::path& target) {
  return target.parent_path().empty() ? std::string(".") : target.parent_path().string();
}

}  // namespace

void CheckCanSave(const std::string& target) {
  const std::string folder = FolderOf(std::filesystem::path(target));
  if (::access(target.c_str(), F_OK) == 0 && ::access(target.c_str(), W_OK) != 0) {
    throw EWorkbookError("Cannot save workbook \"" + target + "\": " + ErrnoText());
  }
  if (::access(folder.c_str(), W_OK | X_OK) != 0) {
    throw EWorkbookError("Cannot save workbook \"" + target + "\": its folder \"" + folder +
                         "\" cannot be written: " + ErrnoText());
  }
}

void SaveAtomically(const std::string& target,
                    const std::function<void(const std::string& tempPath)>& write) {
  const std::filesystem::path targetPath(target);
  std::string temp;
  try {
    if (targetPath.filename().empty()) throw EWorkbookError("the path names no file");
    mode_t mode = 0644;
    temp = CreateTempBeside(targetPath, mode);
    write(temp);
    struct stat old {};
    if (::stat(target.c_str(), &old) == 0) {
      if (S_ISDIR(old.st_mode)) throw EWorkbookError("a folder of that name exists");
      mode = old.st_mode & 07777;
    }
    if (::chmod(temp.c_str(), mode) != 0) {
      throw EWorkbookError("cannot set the file's permissions: " + ErrnoText());
    }
    SyncPath(temp, O_RDONLY);
    if (::rename(temp.c_str(), target.c_str()) != 0) {
      throw EWorkbookError("cannot replace the file: " + ErrnoText());
    }
    temp.clear();
    SyncPath(FolderOf(targetPath), O_RDONLY | O_DIRECTORY);
  } catch (const EWorkbookError& e) {
    if (!temp.empty()) ::unlink(temp.c_str());
    throw EWorkbookError("Cannot save workbook \"" + target + "\": " + e.what());
  } catch (...) {
    if (!temp.empty()) ::unlink(temp.c_str());
    throw;
  }
}

}  // namespace zelvor::workbook
