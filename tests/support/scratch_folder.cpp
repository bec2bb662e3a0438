#include "support/scratch_folder.h"

#include <random>
#include <stdexcept>
#include <string>
#include <system_error>

#include "workbook/file_system.h"

namespace zelvor::test {

namespace fs = std::filesystem;

ScratchFolder::ScratchFolder() {
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    const fs::path candidate =
        fs::temp_directory_path() / ("zelvor-test-" + std::to_string(random()));
    std::error_code error;
    if (!fs::create_directory(candidate, error)) continue;
    fs::permissions(candidate, fs::perms::owner_all, error);
    path_ = candidate;
    return;
  }
  throw std::runtime_error("cannot make a scratch folder");
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  // A test may have taken its own write permission away to make a save fail.
  fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
  fs::remove_all(path_, ignored);
}

std::string ScratchFolder::File(const std::string& name) const {
  return workbook::files::Utf8(path_ / workbook::files::NativePath(name));
}

}  // namespace zelvor::test
