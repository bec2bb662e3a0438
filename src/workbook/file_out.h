#pragma once
// A new file written from many pieces with as few system calls as the system allows; one
// implementation per operating system (file_out_posix.cpp, file_out_windows.cpp).

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zelvor::workbook {

class FileOut {
 public:
  // Creates or truncates the file at the UTF-8 path. Throws EWorkbookError with the reason.
  explicit FileOut(const std::string& path);
  FileOut(const FileOut&) = delete;
  FileOut& operator=(const FileOut&) = delete;
  ~FileOut();

  // The piece must stay alive until the next Close or until Add has flushed it.
  void Add(std::string_view piece);
  // Writes what is pending and closes the file. Throws EWorkbookError.
  void Close();

 private:
  void Flush();

  std::intptr_t file_;  // the descriptor or handle; -1 once closed
  std::vector<std::string_view> pending_;
};

}  // namespace zelvor::workbook
