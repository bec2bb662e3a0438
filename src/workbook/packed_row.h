#pragma once
// The cells of one row in a single string: each cell that holds a text as its column, the text's
// length and the text, in column order. A summary row of forty cells costs one allocation and
// little more than its characters, where a string per cell would cost several times as much.

#include <cstdint>
#include <string>
#include <string_view>

namespace zelvor::workbook {

class PackedRow {
 public:
  // "" for a cell without text.
  std::string_view Get(int column) const;
  // An empty text removes the cell.
  void Set(int column, std::string_view text);
  bool Empty() const { return bytes_.empty(); }
  // Gives back the room the row grew into while its cells were set one by one.
  void Compact() { bytes_.shrink_to_fit(); }

  // Calls visit(column, text) for each cell in column order.
  template <class Visit>
  void ForEach(Visit visit) const {
    std::size_t at = 0;
    while (at < bytes_.size()) {
      const Cell cell = Decode(at);
      visit(cell.column, std::string_view(bytes_).substr(cell.text, cell.length));
      at = cell.text + cell.length;
    }
  }

 private:
  struct Cell {
    int column = 0;
    std::size_t text = 0;  // where the text begins in bytes_
    std::size_t length = 0;
  };
  Cell Decode(std::size_t at) const;
  static void Encode(std::string& out, int column, std::string_view text);

  std::string bytes_;
  int lastColumn_ = 0;
};

}  // namespace zelvor::workbook
