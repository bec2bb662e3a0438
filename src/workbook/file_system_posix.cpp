#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "workbook/errors.h"
#include "workbook/file_system.h"

namespace zelvor::workbook::files {
namespace {

void Sync(const fs::path& path, int flags, bool required) {
  const int fd = ::open(path.c_str(), flags | O_CLOEXEC);
  if (fd < 0) {
    if (!required) return;
    throw EWorkbookError("cannot reopen the written file: " + LastError());
  }
  const int rc = ::fsync(fd);
  const int err = errno;
  ::close(fd);
  if (rc != 0 && required) {
    errno = err;
    throw EWorkbookError("cannot flush the written file to disk: " + LastError());
  }
}

}  // namespace

fs::path NativePath(std::string_view utf8) {
  return fs::path(utf8);
}

std::string Utf8(const fs::path& path) {
  return path.string();
}

std::uint64_t CurrentProcess() {
  return static_cast<std::uint64_t>(::getpid());
}

bool ProcessEnded(std::uint64_t process) {
  return ::kill(static_cast<pid_t>(process), 0) != 0 && errno == ESRCH;
}

bool LocalTime(std::time_t moment, std::tm& local) {
  return ::localtime_r(&moment, &local) != nullptr;
}

std::string LastError() {
  return std::strerror(errno);
}

bool CreateNew(const fs::path& path) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd >= 0) {
    ::close(fd);
    return true;
  }
  if (errno == EEXIST) return false;
  throw EWorkbookError("cannot create a file in its folder \"" + path.parent_path().string() +
                       "\": " + LastError());
}

bool LinkNew(const fs::path& existing, const fs::path& name) {
  if (::link(existing.c_str(), name.c_str()) == 0) return true;
  if (errno == EEXIST) return false;
  throw EWorkbookError("cannot create the file: " + LastError());
}

void ReplaceWith(const fs::path& from, const fs::path& to) {
  if (::rename(from.c_str(), to.c_str()) != 0)
    throw EWorkbookError("cannot replace the file: " + LastError());
}

void FlushFile(const fs::path& path) {
  Sync(path, O_RDONLY, true);
}

void FlushFolder(const fs::path& folder) {
  Sync(folder, O_RDONLY | O_DIRECTORY, false);
}

void Remove(const fs::path& path) noexcept {
  ::unlink(path.c_str());
}

// A file or folder without any write bit was marked read-only by its user: it is refused even to
// root, for whom access() would allow the write.
bool MarkedReadOnly(const fs::path& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

bool MayWrite(const fs::path& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return false;
  return ::access(path.c_str(), S_ISDIR(st.st_mode) ? W_OK | X_OK : W_OK) == 0;
}

bool HeldOpenElsewhere(const fs::path&) {
  return false;  // POSIX locks are advisory: another program's open file does not stop a rename
}

void CopyPermissions(const fs::path& model, const fs::path& path) {
  struct stat st {};
  if (::stat(model.c_str(), &st) != 0) return;
  if (::chmod(path.c_str(), st.st_mode & 07777) != 0)
    throw EWorkbookError("cannot set the file's permissions: " + LastError());
}

}  // namespace zelvor::workbook::files
