#include <windows.h>

#include "workbook/errors.h"
#include "workbook/file_out.h"
#include "workbook/file_system.h"

namespace zelvor::workbook {
namespace {

[[noreturn]] void Fail(const char* what) {
  throw EWorkbookError(std::string(what) + ": " + files::LastError());
}

HANDLE HandleOf(std::intptr_t file) {
  return reinterpret_cast<HANDLE>(file);
}

// Pieces are gathered up to this size before a write.
constexpr std::size_t kBatchBytes = std::size_t{1} << 20;

}  // namespace

FileOut::FileOut(const std::string& path)
    : file_(reinterpret_cast<std::intptr_t>(
          ::CreateFileW(files::NativePath(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                        CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr))) {
  if (HandleOf(file_) == INVALID_HANDLE_VALUE) {
    file_ = -1;
    Fail("cannot create the file");
  }
}

FileOut::~FileOut() {
  if (file_ != -1) ::CloseHandle(HandleOf(file_));
}

void FileOut::Add(std::string_view piece) {
  if (piece.empty()) return;
  pending_.push_back(piece);
  if (pending_.size() >= 1024) Flush();
}

void FileOut::Close() {
  Flush();
  const HANDLE handle = HandleOf(file_);
  file_ = -1;
  if (!::CloseHandle(handle)) Fail("cannot write the file");
}

void FileOut::Flush() {
  std::string batch;
  const auto write = [&](std::string_view bytes) {
    while (!bytes.empty()) {
      DWORD written = 0;
      const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
      if (!::WriteFile(HandleOf(file_), bytes.data(), chunk, &written, nullptr))
        Fail("cannot write the file");
      bytes.remove_prefix(written);
    }
  };
  for (const std::string_view piece : pending_) {
    if (piece.size() >= kBatchBytes) {
      write(batch);
      batch.clear();
      write(piece);
    } else {
      batch += piece;
      if (batch.size() >= kBatchBytes) {
        write(batch);
        batch.clear();
      }
    }
  }
  write(batch);
  pending_.clear();
}

}  // namespace zelvor::workbook
