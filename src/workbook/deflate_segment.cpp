#include "workbook/deflate_segment.h"

#include <zlib.h>

#include <algorithm>

#include "workbook/errors.h"

namespace zelvor::workbook {
namespace {

// Without a zlib header or trailer, as a zip entry stores it.
constexpr int kRawDeflate = -MAX_WBITS;
// zlib counts in 32 bits: larger texts go through in steps.
constexpr std::size_t kMaxStep = std::size_t{1} << 30;

struct StreamEnd {
  void operator()(z_stream* stream) const { deflateEnd(stream); }
};

Bytef* Bytes(const char* data) {
  return reinterpret_cast<Bytef*>(const_cast<char*>(data));
}

std::uint32_t Crc(std::string_view text) {
  uLong crc = crc32(0, nullptr, 0);
  for (std::size_t at = 0; at < text.size(); at += kMaxStep) {
    const auto n = static_cast<uInt>(std::min(text.size() - at, kMaxStep));
    crc = crc32(crc, Bytes(text.data() + at), n);
  }
  return static_cast<std::uint32_t>(crc);
}

}  // namespace

DeflatedSegment DeflateSegment(std::string_view text, SegmentEnd end) {
  z_stream stream{};
  if (deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, kRawDeflate, 8,
                   Z_DEFAULT_STRATEGY) != Z_OK) {
    throw EWorkbookError("out of memory while compressing a part");
  }
  const std::unique_ptr<z_stream, StreamEnd> guard(&stream);
  const int lastFlush = end == SegmentEnd::Last ? Z_FINISH : Z_SYNC_FLUSH;
  std::string out(deflateBound(&stream, static_cast<uLong>(text.size())) + 16, '\0');
  std::size_t consumed = 0;
  std::size_t produced = 0;
  for (;;) {
    if (produced == out.size()) out.resize(out.size() * 2);
    const std::size_t inStep = std::min(text.size() - consumed, kMaxStep);
    const std::size_t outStep = std::min(out.size() - produced, kMaxStep);
    stream.next_in = Bytes(text.data() + consumed);
    stream.avail_in = static_cast<uInt>(inStep);
    stream.next_out = reinterpret_cast<Bytef*>(out.data() + produced);
    stream.avail_out = static_cast<uInt>(outStep);
    const bool allIn = consumed + inStep == text.size();
    const int rc = deflate(&stream, allIn ? lastFlush : Z_NO_FLUSH);
    if (rc == Z_STREAM_ERROR) throw EWorkbookError("compressing a part failed");
    consumed += inStep - stream.avail_in;
    produced += outStep - stream.avail_out;
    // Done once the flush left room unused; a finish says so itself.
    const bool flushed = end == SegmentEnd::Last ? rc == Z_STREAM_END : stream.avail_out != 0;
    if (allIn && stream.avail_in == 0 && flushed) break;
  }
  // Kept for many saves: without the room the bound reserved, often eight times the bytes.
  out.resize(produced);
  out.shrink_to_fit();
  return {std::make_shared<const std::string>(std::move(out)), Crc(text), text.size()};
}

void SegmentSums::Add(const SegmentSums& next) {
  // The empty text's checksum is 0, so the first addition needs no case of its own.
  crc =
      static_cast<std::uint32_t>(crc32_combine(crc, next.crc, static_cast<z_off_t>(next.rawSize)));
  rawSize += next.rawSize;
  compressedSize += next.compressedSize;
}

void SegmentSums::Add(const DeflatedSegment& next) {
  Add(SegmentSums{next.crc, next.rawSize, next.bytes->size()});
}

void DeflatedPart::Append(const DeflatedSegment& segment) {
  sums.Add(segment);
  segments.push_back(segment);
}

DeflatedPart DeflatePart(std::string_view text) {
  DeflatedPart part;
  part.Append(DeflateSegment(text, SegmentEnd::Last));
  return part;
}

}  // namespace zelvor::workbook
