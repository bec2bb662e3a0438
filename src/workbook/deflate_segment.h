#pragma once
// A part's deflate stream built from segments compressed apart. Each segment starts from an empty
// window, so it never refers back before its own start; every segment but the last ends with a
// sync flush (byte-aligned, no final block). Segments compressed at different saves therefore join
// into one valid stream, and the part's checksum is combined from theirs.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace zelvor::workbook {

struct DeflatedSegment {
  // Shared, never changed: a save may hold it while the segment is replaced for the next one.
  std::shared_ptr<const std::string> bytes;
  std::uint32_t crc = 0;  // of the uncompressed text
  std::uint64_t rawSize = 0;
};

enum class SegmentEnd { Continued, Last };

DeflatedSegment DeflateSegment(std::string_view text, SegmentEnd end);

// The checksum and sizes of consecutive segments as one.
struct SegmentSums {
  std::uint32_t crc = 0;
  std::uint64_t rawSize = 0;
  std::uint64_t compressedSize = 0;

  void Add(const SegmentSums& next);
  void Add(const DeflatedSegment& next);
};

// A whole part: its segments in order, the last one ending the stream.
struct DeflatedPart {
  std::vector<DeflatedSegment> segments;
  SegmentSums sums;

  void Append(const DeflatedSegment& segment);
};

// A part compressed in one piece.
DeflatedPart DeflatePart(std::string_view text);

}  // namespace zelvor::workbook
