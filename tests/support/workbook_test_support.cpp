#include "support/workbook_test_support.h"

#include <zip.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "workbook/atomic_save.h"
#include "workbook/file_system.h"

namespace zelvor::test {

std::string ReadFile(const std::string& path) {
  std::ifstream in(workbook::files::NativePath(path), std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

std::set<std::string> FileNames(const std::filesystem::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    names.insert(workbook::files::Utf8(entry.path().filename()));
  return names;
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(workbook::files::NativePath(path), std::ios::binary) << bytes;
}

void SaveText(const std::string& path, const std::string& text) {
  workbook::SaveAtomically(path, [&](const std::string& temp) { WriteFile(temp, text); });
}

std::map<std::string, std::string> ReadParts(const std::string& path) {
  int err = 0;
  zip_t* z = zip_open(path.c_str(), ZIP_RDONLY, &err);
  if (z == nullptr) throw std::runtime_error("cannot open " + path);
  std::map<std::string, std::string> parts;
  for (zip_int64_t i = 0; i < zip_get_num_entries(z, 0); ++i) {
    zip_stat_t st;
    zip_stat_index(z, static_cast<zip_uint64_t>(i), 0, &st);
    std::string data(st.size, '\0');
    zip_file_t* f = zip_fopen_index(z, static_cast<zip_uint64_t>(i), 0);
    if (st.size > 0) zip_fread(f, data.data(), st.size);
    zip_fclose(f);
    parts[st.name] = std::move(data);
  }
  zip_discard(z);
  return parts;
}

void WriteParts(const std::string& path, const std::map<std::string, std::string>& parts) {
  int err = 0;
  zip_t* z = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &err);
  if (z == nullptr) throw std::runtime_error("cannot create " + path);
  // [Content_Types].xml first, as spreadsheet programs write it.
  const auto add = [&](const std::string& name, const std::string& data) {
    zip_source_t* s = zip_source_buffer(z, data.data(), data.size(), 0);
    zip_file_add(z, name.c_str(), s, ZIP_FL_ENC_UTF_8);
  };
  if (const auto it = parts.find("[Content_Types].xml"); it != parts.end()) {
    add(it->first, it->second);
  }
  for (const auto& [name, data] : parts) {
    if (name != "[Content_Types].xml") add(name, data);
  }
  if (zip_close(z) != 0) throw std::runtime_error("cannot write " + path);
}

}  // namespace zelvor::test
