#include <windows.h>

#include "cli/file_stamp.h"

namespace zelvor::cli {

FileStamp StampOf(const std::filesystem::path& path) {
  // No access asked for: only the file's information is read, whoever holds it open.
  const HANDLE file =
      ::CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  BY_HANDLE_FILE_INFORMATION information{};
  const bool read = ::GetFileInformationByHandle(file, &information) != 0;
  ::CloseHandle(file);
  if (!read) return {};
  const std::uint64_t index =
      (std::uint64_t{information.nFileIndexHigh} << 32) | information.nFileIndexLow;
  // 100-nanosecond ticks.
  const std::int64_t ticks =
      static_cast<std::int64_t>((std::uint64_t{information.ftLastWriteTime.dwHighDateTime} << 32) |
                                information.ftLastWriteTime.dwLowDateTime);
  return {true, index, ticks / 10'000'000, ticks % 10'000'000 * 100};
}

}  // namespace zelvor::cli
