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

// A part's new content as consecutive pieces, so that a large part is written without being
// joined into one string first.
using PartPieces = std::vector<std::string_view>;

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
  // Writes the whole package to `path`: `replaced` parts with new content, `dropped` parts
  // left out, every other part copied as stored. Throws EWorkbookError with the reason.
  void WriteTo(const std::string& path, const std::map<std::string, PartPieces>& replaced,
               const std::set<std::string>& dropped) const;

  [[noreturn]] void Fail(const std::string& problem) const;

  struct ZipClose {
    void operator()(zip* z) const;
  };

 private:
  std::string bytes_;
  std::string displayName_;
  std::unique_ptr<zip, ZipClose> zip_;
  std::size_t totalRead_ = 0;
};

// Reads the parts back from a written archive and throws EWorkbookError unless each is whole
// and ends with `ending`: a writer that loses a failed write still gets caught.
void CheckPartsEndWith(const std::string& path, const std::vector<std::string>& parts,
                       std::string_view ending);

}  // namespace zelvor::workbook
