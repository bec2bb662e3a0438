#pragma once
// A workbook's shared string table with its texts end to end in one buffer: a table of millions
// of short strings costs little more than their characters, where a string each would cost
// several times as much.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zelvor::workbook {

class SharedStrings {
 public:
  // Parts are bounded far below 4 GiB, and an item's text is never longer than its XML.
  void Add(std::string_view text) {
    text_ += text;
    ends_.push_back(static_cast<std::uint32_t>(text_.size()));
  }
  std::size_t size() const { return ends_.size(); }
  bool empty() const { return ends_.empty(); }
  std::string_view operator[](std::size_t index) const {
    const std::uint32_t begin = index == 0 ? 0 : ends_[index - 1];
    return std::string_view(text_).substr(begin, ends_[index] - begin);
  }

 private:
  std::string text_;
  std::vector<std::uint32_t> ends_;
};

}  // namespace zelvor::workbook
