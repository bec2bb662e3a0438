#include "workbook/row_chunks.h"

#include <algorithm>

namespace zelvor::workbook {

std::size_t RowChunks::Covered() const {
  return chunks_.empty() ? 0 : chunks_.back().first + chunks_.back().count;
}

std::size_t RowChunks::ChunkOf(std::size_t row) const {
  if (row >= Covered()) return chunks_.size();
  const auto after = std::upper_bound(chunks_.begin(), chunks_.end(), row,
                                      [](std::size_t r, const Chunk& c) { return r < c.first; });
  return static_cast<std::size_t>(after - chunks_.begin()) - 1;
}

void RowChunks::Changed(std::size_t row) {
  const std::size_t at = ChunkOf(row);
  if (at < chunks_.size()) chunks_[at].dirty = true;
}

void RowChunks::Inserted(std::size_t row) {
  const std::size_t at = ChunkOf(row);
  if (at == chunks_.size()) return;  // a new row past the covered ones: the next Update takes it
  // The new row joins the chunk of the row it pushed down, which gives up its leading gap too.
  chunks_[at].count += 1;
  chunks_[at].dirty = true;
  for (std::size_t i = at + 1; i < chunks_.size(); ++i) chunks_[i].first += 1;
}

void RowChunks::Compress(Chunk& chunk, std::size_t rowCount, const RowText& text) {
  buffer_.clear();
  for (std::size_t row = chunk.first; row < chunk.first + chunk.count; ++row) text(row, buffer_);
  // The last chunk takes new rows until it is full.
  if (&chunk == &chunks_.back()) {
    while (chunk.first + chunk.count < rowCount && buffer_.size() < chunkBytes_) {
      text(chunk.first + chunk.count, buffer_);
      ++chunk.count;
    }
  }
  chunk.segment = DeflateSegment(buffer_, SegmentEnd::Continued);
  chunk.dirty = false;
}

void RowChunks::Update(std::size_t rowCount, const RowText& text) {
  if (!chunks_.empty() && Covered() < rowCount && chunks_.back().segment.rawSize < chunkBytes_) {
    chunks_.back().dirty = true;
  }
  std::size_t firstChanged = chunks_.size();
  for (std::size_t i = 0; i < chunks_.size(); ++i) {
    if (!chunks_[i].dirty) continue;
    Compress(chunks_[i], rowCount, text);
    firstChanged = std::min(firstChanged, i);
  }
  while (Covered() < rowCount) {
    chunks_.push_back(Chunk{Covered(), 0, {}, true, {}});
    Compress(chunks_.back(), rowCount, text);
  }
  Sum(firstChanged);
}

void RowChunks::Sum(std::size_t from) {
  for (std::size_t i = from; i < chunks_.size(); ++i) {
    Chunk& chunk = chunks_[i];
    chunk.through = i == 0 ? SegmentSums{} : chunks_[i - 1].through;
    // Rows that hold no cell have no text: such a chunk has nothing to add.
    if (chunk.segment.rawSize > 0) chunk.through.Add(chunk.segment);
  }
}

void RowChunks::AppendTo(DeflatedPart& part) const {
  if (chunks_.empty()) return;
  for (const Chunk& chunk : chunks_) {
    if (chunk.segment.rawSize > 0) part.segments.push_back(chunk.segment);
  }
  part.sums.Add(chunks_.back().through);
}

}  // namespace zelvor::workbook
