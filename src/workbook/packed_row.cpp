#include "workbook/packed_row.h"

namespace zelvor::workbook {
namespace {

void PutNumber(std::string& out, std::size_t value) {
  // Seven bits a byte, the high bit set on every byte but the last.
  while (value >= 0x80) {
    out.push_back(static_cast<char>((value & 0x7F) | 0x80));
    value >>= 7;
  }
  out.push_back(static_cast<char>(value));
}

std::size_t GetNumber(const std::string& bytes, std::size_t& at) {
  std::size_t value = 0;
  for (int shift = 0;; shift += 7) {
    const auto byte = static_cast<unsigned char>(bytes[at++]);
    value |= static_cast<std::size_t>(byte & 0x7F) << shift;
    if ((byte & 0x80) == 0) return value;
  }
}

}  // namespace

PackedRow::Cell PackedRow::Decode(std::size_t at) const {
  Cell cell;
  cell.column = static_cast<int>(GetNumber(bytes_, at));
  cell.length = GetNumber(bytes_, at);
  cell.text = at;
  return cell;
}

void PackedRow::Encode(std::string& out, int column, std::string_view text) {
  PutNumber(out, static_cast<std::size_t>(column));
  PutNumber(out, text.size());
  out += text;
}

std::string_view PackedRow::Get(int column) const {
  if (column > lastColumn_) return {};
  std::string_view found;
  ForEach([&](int c, std::string_view text) {
    if (c == column) found = text;
  });
  return found;
}

void PackedRow::Set(int column, std::string_view text) {
  if (column > lastColumn_) {
    // Rows are mostly written left to right: the new cell goes at the end.
    if (text.empty()) return;
    Encode(bytes_, column, text);
    lastColumn_ = column;
    return;
  }
  std::string rebuilt;
  rebuilt.reserve(bytes_.size() + text.size() + 8);
  bool placed = text.empty();
  int last = 0;
  ForEach([&](int c, std::string_view old) {
    if (!placed && c >= column) {
      Encode(rebuilt, column, text);
      last = column;
      placed = true;
    }
    if (c == column) return;
    Encode(rebuilt, c, old);
    last = c;
  });
  bytes_ = std::move(rebuilt);
  lastColumn_ = last;
}

}  // namespace zelvor::workbook
