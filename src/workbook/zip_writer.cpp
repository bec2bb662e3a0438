#include "workbook/zip_writer.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <ctime>
#include <memory>

#include "workbook/errors.h"
#include "workbook/file_out.h"
#include "workbook/file_system.h"

namespace zelvor::workbook {
namespace {

// 0xFFFFFFFF marks a zip64 field: every size and offset stays below it.
constexpr std::uint64_t kMax32 = 0xFFFFFFFFu;
constexpr std::size_t kMaxEntries = 0xFFFF;
constexpr std::uint16_t kUtf8Name = 1 << 11;

void Put16(std::string& out, std::uint32_t v) {
  out.push_back(static_cast<char>(v & 0xFF));
  out.push_back(static_cast<char>((v >> 8) & 0xFF));
}

void Put32(std::string& out, std::uint64_t v) {
  Put16(out, static_cast<std::uint32_t>(v & 0xFFFF));
  Put16(out, static_cast<std::uint32_t>((v >> 16) & 0xFFFF));
}

std::uint16_t VersionNeeded(std::uint16_t method) {
  switch (method) {
    case kZipStored:
    case kZipDeflated:
      return 20;
    case 9:  // deflate64
      return 21;
    case 12:  // bzip2
      return 46;
    default:
      return 63;
  }
}

bool IsAscii(std::string_view name) {
  for (char c : name) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

// The fields a local header and a central directory entry share, from "version needed" on.
void PutCommon(std::string& out, const ZipEntry& entry, std::uint64_t compressedSize) {
  Put16(out, VersionNeeded(entry.method));
  Put16(out, IsAscii(entry.name) ? 0 : kUtf8Name);  // part names are UTF-8
  Put16(out, entry.method);
  Put16(out, entry.dosTime);
  Put16(out, entry.dosDate);
  Put32(out, entry.crc);
  Put32(out, compressedSize);
  Put32(out, entry.size);
  Put16(out, static_cast<std::uint32_t>(entry.name.size()));
  Put16(out, 0);  // extra field
}

}  // namespace

ZipEntry DeflatedEntry(std::string name, const DeflatedPart& part) {
  ZipEntry entry;
  entry.name = std::move(name);
  entry.crc = part.sums.crc;
  entry.size = part.sums.rawSize;
  for (const auto& segment : part.segments) entry.data.push_back(segment.bytes);
  return entry;
}

void DosTimeOf(std::int64_t unixTime, std::uint16_t& dosTime, std::uint16_t& dosDate) {
  const auto t = static_cast<std::time_t>(unixTime);
  std::tm local{};
  if (!files::LocalTime(t, local) || local.tm_year < 80) {
    dosTime = 0;
    dosDate = (1 << 5) | 1;
    return;
  }
  dosTime =
      static_cast<std::uint16_t>((local.tm_hour << 11) | (local.tm_min << 5) | (local.tm_sec / 2));
  dosDate = static_cast<std::uint16_t>(((local.tm_year - 80) << 9) | ((local.tm_mon + 1) << 5) |
                                       local.tm_mday);
}

void WriteZip(const std::string& path, const std::vector<ZipEntry>& entries) {
  if (entries.size() > kMaxEntries) {
    throw EWorkbookError("the workbook would hold more than 65,535 parts");
  }
  // Headers first, so that the pieces handed to the file point into strings that stay put.
  std::vector<std::string> locals(entries.size());
  std::string directory;
  std::uint64_t offset = 0;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const ZipEntry& entry = entries[i];
    std::uint64_t compressedSize = 0;
    for (const auto& piece : entry.data) compressedSize += piece->size();
    if (entry.size >= kMax32 || compressedSize >= kMax32 || offset >= kMax32) {
      throw EWorkbookError("the part " + entry.name +
                           " would take the workbook past 4 GiB, more than the file format holds");
    }
    std::string& local = locals[i];
    Put32(local, 0x04034b50);
    PutCommon(local, entry, compressedSize);
    local += entry.name;

    Put32(directory, 0x02014b50);
    Put16(directory, (3 << 8) | 20);  // made by: Unix, format 2.0
    PutCommon(directory, entry, compressedSize);
    Put16(directory, 0);  // comment
    Put16(directory, 0);  // disk
    Put16(directory, 0);  // internal attributes
    Put32(directory, 0);  // external attributes
    Put32(directory, offset);
    directory += entry.name;
    offset += local.size() + compressedSize;
  }
  if (offset >= kMax32) {
    throw EWorkbookError("the workbook would grow past 4 GiB, more than the file format holds");
  }
  std::string end;
  Put32(end, 0x06054b50);
  Put16(end, 0);  // this disk
  Put16(end, 0);  // the directory's disk
  Put16(end, static_cast<std::uint32_t>(entries.size()));
  Put16(end, static_cast<std::uint32_t>(entries.size()));
  Put32(end, directory.size());
  Put32(end, offset);
  Put16(end, 0);  // comment

  FileOut out(path);
  for (std::size_t i = 0; i < entries.size(); ++i) {
    out.Add(locals[i]);
    for (const auto& piece : entries[i].data) out.Add(*piece);
  }
  out.Add(directory);
  out.Add(end);
  out.Close();
}

}  // namespace zelvor::workbook
