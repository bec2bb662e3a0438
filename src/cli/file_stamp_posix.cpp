#include <sys/stat.h>

#include "cli/file_stamp.h"

namespace zelvor::cli {

FileStamp StampOf(const std::filesystem::path& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return {};
  return {true, st.st_ino, st.st_mtim.tv_sec, st.st_mtim.tv_nsec};
}

}  // namespace zelvor::cli
