#include <fcntl.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>

#include "workbook/errors.h"
#include "workbook/file_out.h"

namespace zelvor::workbook {
namespace {

[[noreturn]] void Fail(const char* what) {
  throw EWorkbookError(std::string(what) + ": " + std::strerror(errno));
}

}  // namespace

FileOut::FileOut(const std::string& path)
    : file_(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666)) {
  if (file_ < 0) Fail("cannot create the file");
}

FileOut::~FileOut() {
  if (file_ >= 0) ::close(static_cast<int>(file_));
}

void FileOut::Add(std::string_view piece) {
  if (piece.empty()) return;
  pending_.push_back(piece);
  if (pending_.size() == IOV_MAX) Flush();
}

void FileOut::Close() {
  Flush();
  const int fd = static_cast<int>(file_);
  file_ = -1;
  if (::close(fd) != 0) Fail("cannot write the file");
}

void FileOut::Flush() {
  std::vector<iovec> pieces;
  pieces.reserve(pending_.size());
  for (const std::string_view piece : pending_)
    pieces.push_back({const_cast<char*>(piece.data()), piece.size()});
  std::size_t first = 0;
  while (first < pieces.size()) {
    const int count = static_cast<int>(std::min<std::size_t>(pieces.size() - first, IOV_MAX));
    const ssize_t n = ::writev(static_cast<int>(file_), pieces.data() + first, count);
    if (n < 0) {
      if (errno == EINTR) continue;
      Fail("cannot write the file");
    }
    auto left = static_cast<std::size_t>(n);
    while (first < pieces.size() && left >= pieces[first].iov_len) {
      left -= pieces[first].iov_len;
      ++first;
    }
    if (left > 0) {
      pieces[first].iov_base = static_cast<char*>(pieces[first].iov_base) + left;
      pieces[first].iov_len -= left;
    }
  }
  pending_.clear();
}

}  // namespace zelvor::workbook
