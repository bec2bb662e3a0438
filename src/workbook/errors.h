#pragma once
// The error every spreadsheet operation raises; its message names the file and the problem.

#include <stdexcept>
#include <string>

namespace zelvor::workbook {

class EWorkbookError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace zelvor::workbook
