#pragma once
// The rows of a sheet part kept compressed between saves. Consecutive rows form chunks of about
// 64 KiB of text, each compressed on its own as a segment of the part's stream; a save compresses
// again only the chunks that hold a changed or new row, so its cost follows the rows written since
// the last save, not the size of the sheet. The deflate window is 32 KiB, so chunks of that order
// lose next to nothing against one stream.

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "workbook/deflate_segment.h"

namespace zelvor::workbook {

class RowChunks {
 public:
  // Appends the text of the row at an index (from 0) to `out`.
  using RowText = std::function<void(std::size_t row, std::string& out)>;

  explicit RowChunks(std::size_t chunkBytes = std::size_t{64} << 10) : chunkBytes_(chunkBytes) {}

  // The row's text changed since the last Update.
  void Changed(std::size_t row);
  // A row was inserted at the index; the rows from there on moved down by one.
  void Inserted(std::size_t row);
  // Brings the chunks up to the sheet's `rowCount` rows: compresses again every chunk with a
  // changed row and compresses the rows beyond those already covered.
  void Update(std::size_t rowCount, const RowText& text);
  // The chunks in order, as continued segments of the part's stream.
  void AppendTo(DeflatedPart& part) const;

 private:
  struct Chunk {
    std::size_t first = 0;
    std::size_t count = 0;
    DeflatedSegment segment;
    bool dirty = false;
    // This chunk and every one before it as one: combining a checksum costs about a
    // microsecond, too much to do for thousands of chunks at every save.
    SegmentSums through;
  };
  std::size_t Covered() const;
  // The chunk holding the row; chunks_.size() when it lies beyond them.
  std::size_t ChunkOf(std::size_t row) const;
  void Compress(Chunk& chunk, std::size_t rowCount, const RowText& text);
  void Sum(std::size_t from);

  std::size_t chunkBytes_;
  std::vector<Chunk> chunks_;
  std::string buffer_;
};

}  // namespace zelvor::workbook
