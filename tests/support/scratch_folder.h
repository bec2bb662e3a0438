#pragma once
// A fresh private folder under the system's temporary folder, removed with everything in it when
// the object goes.

#include <filesystem>
#include <string>

namespace zelvor::test {

class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  std::filesystem::path operator/(const std::filesystem::path& name) const { return path_ / name; }
  // The UTF-8 path of a file in the folder.
  std::string File(const std::string& name) const;

 private:
  std::filesystem::path path_;
};

}  // namespace zelvor::test
