#pragma once
// What tells whether a run wrote a file: every save replaces it, so its identity (the inode, or
// the NTFS file index) or its time moves. One implementation per system (file_stamp_posix.cpp,
// file_stamp_windows.cpp).

#include <cstdint>
#include <filesystem>

namespace zelvor::cli {

struct FileStamp {
  bool exists = false;
  std::uint64_t identity = 0;
  std::int64_t modifiedSeconds = 0;
  std::int64_t modifiedNanoseconds = 0;

  bool operator==(const FileStamp&) const = default;
};

// The stamp of the file now; a default one when it does not exist or cannot be read.
FileStamp StampOf(const std::filesystem::path& path);

}  // namespace zelvor::cli
