#include "workbook/xlsx_package.h"

#include <zip.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <vector>

#include "workbook/errors.h"
#include "workbook/file_system.h"
#include "workbook/polish_messages.h"
#include "workbook/zip_writer.h"

namespace zelvor::workbook {
namespace {

constexpr unsigned char kCompoundFileMagic[] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};

bool Contains(const std::string& bytes, std::string_view needle) {
  return bytes.find(needle) != std::string::npos;
}

// The name as stored in a compound file's directory: UTF-16LE.
std::string Utf16Le(std::string_view ascii) {
  std::string out;
  for (char c : ascii) {
    out.push_back(c);
    out.push_back('\0');
  }
  return out;
}

struct ZipFileClose {
  void operator()(zip_file_t* f) const { zip_fclose(f); }
};

}  // namespace

void XlsxPackage::ZipClose::operator()(zip* z) const {
  zip_discard(z);
}

void XlsxPackage::Fail(const std::string& problem) const {
  throw EWorkbookError(OpenFailure(displayName_, problem));
}

std::unique_ptr<XlsxPackage> XlsxPackage::Load(const std::string& path) {
  std::ifstream in(files::NativePath(path), std::ios::binary);
  const auto fail = [&](const std::string& problem) {
    throw EWorkbookError(OpenFailure(path, problem));
  };
  if (!in) fail(std::string("cannot read the file: ") + std::strerror(errno));
  in.seekg(0, std::ios::end);
  const auto size = static_cast<std::streamoff>(in.tellg());
  if (size < 0) fail("cannot read the file");
  if (static_cast<std::size_t>(size) > kMaxWorkbookFileBytes) {
    fail("the file is larger than " + std::to_string(kMaxWorkbookFileBytes >> 20) + " MiB");
  }
  std::string bytes(static_cast<std::size_t>(size), '\0');
  in.seekg(0);
  if (!in.read(bytes.data(), size)) fail("cannot read the file");
  return std::make_unique<XlsxPackage>(std::move(bytes), path);
}

XlsxPackage::XlsxPackage(std::string bytes, std::string displayName)
    : bytes_(std::move(bytes)), displayName_(std::move(displayName)) {
  if (bytes_.empty()) Fail("the file is empty");
  if (bytes_.size() >= sizeof kCompoundFileMagic &&
      std::memcmp(bytes_.data(), kCompoundFileMagic, sizeof kCompoundFileMagic) == 0) {
    if (Contains(bytes_, Utf16Le("EncryptedPackage"))) {
      Fail("the workbook is protected by a password; remove the password and try again");
    }
    Fail("it is an Excel 97-2003 workbook (.xls), not .xlsx; save it as .xlsx first");
  }
  if (bytes_.compare(0, 2, "PK") != 0) Fail("it is not an .xlsx workbook (not a zip archive)");

  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* source = zip_source_buffer_create(bytes_.data(), bytes_.size(), 0, &error);
  if (source == nullptr) Fail(std::string("cannot read the file: ") + zip_error_strerror(&error));
  zip_.reset(zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &error));
  if (!zip_) {
    zip_source_free(source);
    // A file that begins like a zip archive but has no readable directory was cut short.
    const bool notZip =
        zip_error_code_zip(&error) == ZIP_ER_NOZIP && bytes_.compare(0, 4, "PK\x03\x04") != 0;
    const std::string reason = zip_error_strerror(&error);
    zip_error_fini(&error);
    Fail(notZip ? "it is not an .xlsx workbook (not a zip archive)"
                : "the archive is damaged (" + reason + ")");
  }
  zip_error_fini(&error);

  if (auto mimetype = Read("mimetype")) {
    if (mimetype->starts_with("application/vnd.oasis.opendocument")) {
      Fail("it is an OpenDocument spreadsheet (.ods), not .xlsx; save it as .xlsx first");
    }
  }
  if (Has("xl/workbook.bin")) Fail("it is a binary workbook (.xlsb), not .xlsx");
  if (!Has("[Content_Types].xml")) Fail("the archive holds no workbook (not an .xlsx file)");
}

XlsxPackage::~XlsxPackage() = default;

bool XlsxPackage::Has(const std::string& part) const {
  return zip_name_locate(zip_.get(), part.c_str(), ZIP_FL_NOCASE) >= 0;
}

std::string XlsxPackage::StoredName(const std::string& part) const {
  const zip_int64_t index = zip_name_locate(zip_.get(), part.c_str(), ZIP_FL_NOCASE);
  if (index < 0) return part;
  const char* name = zip_get_name(zip_.get(), static_cast<zip_uint64_t>(index), ZIP_FL_ENC_RAW);
  return name != nullptr ? name : part;
}

std::optional<std::string> XlsxPackage::Read(const std::string& part) {
  const zip_int64_t index = zip_name_locate(zip_.get(), part.c_str(), ZIP_FL_NOCASE);
  if (index < 0) return std::nullopt;
  const auto idx = static_cast<zip_uint64_t>(index);
  const auto tooLarge = [&] {
    Fail("the part " + part + " unpacks to more than " + std::to_string(kMaxPartBytes >> 20) +
         " MiB (a damaged or hostile archive)");
  };
  zip_stat_t st;
  zip_stat_init(&st);
  if (zip_stat_index(zip_.get(), idx, 0, &st) != 0) Fail("the archive is damaged");
  if ((st.valid & ZIP_STAT_SIZE) != 0 && st.size > kMaxPartBytes) tooLarge();
  if ((st.valid & ZIP_STAT_ENCRYPTION_METHOD) != 0 && st.encryption_method != ZIP_EM_NONE) {
    Fail("the workbook is protected by a password; remove the password and try again");
  }
  std::unique_ptr<zip_file_t, ZipFileClose> file(zip_fopen_index(zip_.get(), idx, 0));
  if (!file) {
    Fail("the archive is damaged (" + std::string(zip_strerror(zip_.get())) + ")");
  }
  std::string data;
  // Grown to the declared size at once: a doubling string would briefly hold half as much again.
  if ((st.valid & ZIP_STAT_SIZE) != 0) data.reserve(static_cast<std::size_t>(st.size));
  std::vector<char> chunk(std::size_t{1} << 16);
  for (;;) {
    const zip_int64_t n = zip_fread(file.get(), chunk.data(), chunk.size());
    if (n < 0) {
      Fail("the archive is damaged (" + std::string(zip_file_strerror(file.get())) + ")");
    }
    if (n == 0) break;
    if (data.size() + static_cast<std::size_t>(n) > kMaxPartBytes) tooLarge();
    data.append(chunk.data(), static_cast<std::size_t>(n));
  }
  totalRead_ += data.size();
  if (totalRead_ > kMaxReadBytes) {
    Fail("its parts unpack to more than " + std::to_string(kMaxReadBytes >> 20) + " MiB");
  }
  return data;
}

std::shared_ptr<const std::string> XlsxPackage::StoredBytes(std::uint64_t index) {
  const auto found = stored_.find(index);
  if (found != stored_.end()) return found->second;
  std::unique_ptr<zip_file_t, ZipFileClose> file(
      zip_fopen_index(zip_.get(), index, ZIP_FL_COMPRESSED));
  if (!file) throw EWorkbookError("reading the archive: " + std::string(zip_strerror(zip_.get())));
  std::string data;
  std::vector<char> chunk(std::size_t{1} << 16);
  for (;;) {
    const zip_int64_t n = zip_fread(file.get(), chunk.data(), chunk.size());
    if (n < 0) {
      throw EWorkbookError("reading the archive: " + std::string(zip_file_strerror(file.get())));
    }
    if (n == 0) break;
    data.append(chunk.data(), static_cast<std::size_t>(n));
  }
  return stored_[index] = std::make_shared<const std::string>(std::move(data));
}

std::vector<ZipEntry> XlsxPackage::Entries(const std::map<std::string, DeflatedPart>& replaced,
                                           const std::set<std::string>& dropped) {
  std::vector<ZipEntry> entries;
  const zip_int64_t count = zip_get_num_entries(zip_.get(), 0);
  for (zip_int64_t i = 0; i < count; ++i) {
    const auto index = static_cast<zip_uint64_t>(i);
    const char* name = zip_get_name(zip_.get(), index, ZIP_FL_ENC_RAW);
    if (name == nullptr) throw EWorkbookError("reading the archive: the names are damaged");
    if (dropped.contains(name)) continue;
    zip_stat_t st;
    zip_stat_init(&st);
    constexpr auto kNeeded = ZIP_STAT_SIZE | ZIP_STAT_COMP_SIZE | ZIP_STAT_CRC |
                             ZIP_STAT_COMP_METHOD | ZIP_STAT_ENCRYPTION_METHOD;
    if (zip_stat_index(zip_.get(), index, 0, &st) != 0 || (st.valid & kNeeded) != kNeeded) {
      throw EWorkbookError(std::string("reading the archive: the part ") + name +
                           " cannot be looked at");
    }
    const auto change = replaced.find(name);
    ZipEntry& entry = entries.emplace_back();
    if (change != replaced.end()) entry = DeflatedEntry(name, change->second);
    entry.name = name;
    if ((st.valid & ZIP_STAT_MTIME) != 0) DosTimeOf(st.mtime, entry.dosTime, entry.dosDate);
    if (change != replaced.end()) continue;
    // The stored bytes go across as they are: no part is recompressed or altered.
    if (st.encryption_method != ZIP_EM_NONE) {
      throw EWorkbookError(std::string("the part ") + name + " is encrypted");
    }
    entry.method = st.comp_method;
    entry.crc = st.crc;
    entry.size = st.size;
    auto stored = StoredBytes(index);
    if (stored->size() != st.comp_size) {
      throw EWorkbookError(std::string("the part ") + name + " is damaged in the archive");
    }
    entry.data.push_back(std::move(stored));
  }
  return entries;
}

}  // namespace zelvor::workbook
