#pragma once
// Writes a zip archive whose entries come already compressed: each local header carries the CRC
// and sizes up front, the data follows as given, then the central directory. Archives past the
// classic format's limits (4 GiB, 65,535 entries) are refused rather than written as zip64.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "workbook/deflate_segment.h"

namespace zelvor::workbook {

inline constexpr std::uint16_t kZipStored = 0;
inline constexpr std::uint16_t kZipDeflated = 8;

struct ZipEntry {
  std::string name;
  std::uint16_t method = kZipDeflated;
  std::uint32_t crc = 0;
  std::uint64_t size = 0;  // uncompressed
  // MS-DOS time and date; the default is 1980-01-01 00:00, the earliest the format has.
  std::uint16_t dosTime = 0;
  std::uint16_t dosDate = (1 << 5) | 1;
  // The stored bytes in pieces, in order; shared, so that a save may go on with them in the
  // background while the workbook changes.
  std::vector<std::shared_ptr<const std::string>> data;
};

// The entry of a part compressed in segments.
ZipEntry DeflatedEntry(std::string name, const DeflatedPart& part);

// Writes the entries in order into the file at `path`, which is created or truncated. Throws
// EWorkbookError with the reason.
void WriteZip(const std::string& path, const std::vector<ZipEntry>& entries);

// The MS-DOS time and date of a local time.
void DosTimeOf(std::int64_t unixTime, std::uint16_t& dosTime, std::uint16_t& dosDate);

}  // namespace zelvor::workbook
