#pragma once
// The zip package of an existing .xlsx or .xlsm workbook, held in memory. Parts are read with a
// bound on their uncompressed size; a save copies every part it is not given byte for byte.

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "workbook/deflate_segment.h"
#include "workbook/zip_writer.h"

struct zip;

namespace zelvor::workbook {

// No workbook may take the process past 1 GiB. A first sheet of 1,000,000 rows of a few cells
// is about 150 MiB of XML as spreadsheet programs write it, and well over 200 MiB once every row
// is annotated; its shared strings are less. Held at once are the file, the sheet's text, an
// index of its rows, every row written (about as much again as the rows' text) and the shared
// strings. Measured: a 253 MiB sheet with 66 MiB of shared strings, read and written in every
// row and saved, peaks at 774 MiB. A part that unpacks to more than its bound is refused before
// it is parsed, whatever size its archive entry declares. The file itself is held too; such a
// workbook packs to about 25 MiB, so 128 MiB leaves room for pictures and other parts.
inline constexpr std::size_t kMaxWorkbookFileBytes = std::size_t{128} << 20;
inline constexpr std::size_t kMaxPartBytes = std::size_t{256} << 20;
inline constexpr std::size_t kMaxReadBytes = std::size_t{320} << 20;

class XlsxPackage {
 public:
  // Throws EWorkbookError naming `displayName` and the problem: not a zip, a password-protected
  // workbook, an .xls or .ods file, a damaged archive.
  XlsxPackage(std::string bytes, std::string displayName);
  ~XlsxPackage();
  XlsxPackage(const XlsxPackage&) = delete;
  XlsxPackage& operator=(const XlsxPackage&) = delete;

  static std::unique_ptr<XlsxPackage> Load(const std::string& path);

  const std::string& DisplayName() const { return displayName_; }
  // Part names compare without regard to letter case, as the package format wants.
  bool Has(const std::string& part) const;
  // The name as stored in the archive.
  std::string StoredName(const std::string& part) const;
  // The uncompressed part; nullopt when absent. Throws EWorkbookError on damage or a part
  // beyond the bound.
  std::optional<std::string> Read(const std::string& part);
  // The whole package's entries for a save: `replaced` parts with new content, `dropped` parts
  // left out, every other part copied as stored, without being unpacked. Throws EWorkbookError
  // with the reason.
  std::vector<ZipEntry> Entries(const std::map<std::string, DeflatedPart>& replaced,
                                const std::set<std::string>& dropped);

  [[noreturn]] void Fail(const std::string& problem) const;

  struct ZipClose {
    void operator()(zip* z) const;
  };

 private:
  // The stored bytes of a part a save copies; read at the first save and kept.
  std::shared_ptr<const std::string> StoredBytes(std::uint64_t index);

  std::string bytes_;
  std::string displayName_;
  std::unique_ptr<zip, ZipClose> zip_;
  std::size_t totalRead_ = 0;
  std::map<std::uint64_t, std::shared_ptr<const std::string>> stored_;
};

}  // namespace zelvor::workbook
