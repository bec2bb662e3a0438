#include "workbook/xlsx_package.h"

#include <zip.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <vector>

#include "workbook/errors.h"

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

// What libzip reads a replaced part from: its pieces one after the other.
struct PiecesReader {
  const PartPieces* pieces = nullptr;
  zip_uint64_t size = 0;
  std::size_t piece = 0;
  std::size_t offset = 0;
  zip_error_t error{};
};

zip_int64_t ReadPieces(void* state, void* data, zip_uint64_t length, zip_source_cmd_t command) {
  auto& reader = *static_cast<PiecesReader*>(state);
  switch (command) {
    case ZIP_SOURCE_OPEN:
      reader.piece = 0;
      reader.offset = 0;
      return 0;
    case ZIP_SOURCE_READ: {
      auto* out = static_cast<char*>(data);
      zip_uint64_t done = 0;
      while (done < length && reader.piece < reader.pieces->size()) {
        const std::string_view piece = (*reader.pieces)[reader.piece];
        const std::size_t n = static_cast<std::size_t>(
            std::min<zip_uint64_t>(length - done, piece.size() - reader.offset));
        std::memcpy(out + done, piece.data() + reader.offset, n);
        done += n;
        reader.offset += n;
        if (reader.offset == piece.size()) {
          ++reader.piece;
          reader.offset = 0;
        }
      }
      return static_cast<zip_int64_t>(done);
    }
    case ZIP_SOURCE_STAT: {
      auto* st = static_cast<zip_stat_t*>(data);
      zip_stat_init(st);
      st->size = reader.size;
      st->valid |= ZIP_STAT_SIZE;
      return sizeof(zip_stat_t);
    }
    case ZIP_SOURCE_ERROR:
      return zip_error_to_data(&reader.error, data, length);
    case ZIP_SOURCE_SUPPORTS:
      return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE,
                                            ZIP_SOURCE_STAT, ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE,
                                            ZIP_SOURCE_SUPPORTS, -1);
    case ZIP_SOURCE_CLOSE:
    case ZIP_SOURCE_FREE:
      return 0;
    default:
      zip_error_set(&reader.error, ZIP_ER_OPNOTSUPP, 0);
      return -1;
  }
}

}  // namespace

void XlsxPackage::ZipClose::operator()(zip* z) const {
  zip_discard(z);
}

void XlsxPackage::Fail(const std::string& problem) const {
  throw EWorkbookError("Cannot open workbook \"" + displayName_ + "\": " + problem);
}

std::unique_ptr<XlsxPackage> XlsxPackage::Load(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  const auto fail = [&](const std::string& problem) {
    throw EWorkbookError("Cannot open workbook \"" + path + "\": " + problem);
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

void XlsxPackage::WriteTo(const std::string& path,
                          const std::map<std::string, PartPieces>& replaced,
                          const std::set<std::string>& dropped) const {
  int code = 0;
  zip_t* out = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
  if (out == nullptr) {
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    const std::string reason = zip_error_strerror(&error);
    zip_error_fini(&error);
    throw EWorkbookError(reason);
  }
  std::unique_ptr<zip, ZipClose> guard(out);
  // Read by libzip only when the archive is closed: they live until then.
  std::vector<std::unique_ptr<PiecesReader>> readers;
  const auto fail = [&](const char* what) {
    throw EWorkbookError(std::string(what) + ": " + zip_strerror(out));
  };
  const zip_int64_t count = zip_get_num_entries(zip_.get(), 0);
  for (zip_int64_t i = 0; i < count; ++i) {
    const auto idx = static_cast<zip_uint64_t>(i);
    const char* name = zip_get_name(zip_.get(), idx, ZIP_FL_ENC_RAW);
    if (name == nullptr) fail("reading the archive");
    if (dropped.contains(name)) continue;
    zip_stat_t st;
    zip_stat_init(&st);
    zip_stat_index(zip_.get(), idx, 0, &st);
    zip_source_t* source = nullptr;
    const auto change = replaced.find(name);
    if (change != replaced.end()) {
      auto& reader = *readers.emplace_back(std::make_unique<PiecesReader>());
      reader.pieces = &change->second;
      for (const auto& piece : change->second) reader.size += piece.size();
      source = zip_source_function(out, ReadPieces, &reader);
    } else {
      // The stored bytes go across as they are: no part is recompressed or altered.
      source = zip_source_zip(out, zip_.get(), idx, ZIP_FL_COMPRESSED, 0, -1);
    }
    if (source == nullptr) fail("copying a part");
    const zip_int64_t added = zip_file_add(out, name, source, ZIP_FL_ENC_GUESS);
    if (added < 0) {
      zip_source_free(source);
      fail("adding a part");
    }
    if ((st.valid & ZIP_STAT_MTIME) != 0) {
      zip_file_set_mtime(out, static_cast<zip_uint64_t>(added), st.mtime, 0);
    }
  }
  if (zip_close(out) != 0) fail("writing the file");
  guard.release();
}

}  // namespace zelvor::workbook

namespace zelvor::workbook {

void CheckPartsEndWith(const std::string& path, const std::vector<std::string>& parts,
                       std::string_view ending) {
  int code = 0;
  std::unique_ptr<zip, XlsxPackage::ZipClose> archive(zip_open(path.c_str(), ZIP_RDONLY, &code));
  if (!archive) throw EWorkbookError("the written file cannot be read back");
  std::vector<char> chunk(std::size_t{1} << 16);
  for (const auto& part : parts) {
    std::unique_ptr<zip_file_t, ZipFileClose> file(zip_fopen(archive.get(), part.c_str(), 0));
    if (!file) throw EWorkbookError("the written file lacks " + part);
    std::string tail;
    for (;;) {
      const zip_int64_t n = zip_fread(file.get(), chunk.data(), chunk.size());
      if (n < 0) throw EWorkbookError("the written file is damaged in " + part);
      if (n == 0) break;
      tail.append(chunk.data(), static_cast<std::size_t>(n));
      if (tail.size() > 2 * ending.size() + 64) tail.erase(0, tail.size() - ending.size() - 64);
    }
    while (!tail.empty() && static_cast<unsigned char>(tail.back()) <= 32) tail.pop_back();
    if (!tail.ends_with(ending)) {
      throw EWorkbookError("the written file is incomplete in " + part +
                           " (a disk full or a write refused)");
    }
  }
}

}  // namespace zelvor::workbook
