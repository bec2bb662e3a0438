#include "platform/certificate_store.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

#include "platform/settings_file.h"

namespace zelvor::platform {

namespace fs = std::filesystem;

std::string Quoted(const fs::path& file) {
  return "\"" + PathText(file) + "\"";
}

std::string ReadFileBytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    throw CertificateStoreError("Nie można odczytać pliku certyfikatu " + Quoted(file) +
                                ". Sprawdź, czy plik istnieje i czy masz prawo go czytać. (" +
                                std::strerror(errno) + ")");
  }
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

CertificateStoreError NoCertificateIn(const fs::path& file) {
  return CertificateStoreError("Plik " + Quoted(file) +
                               " nie zawiera certyfikatu. Usuń go z magazynu certyfikatów albo "
                               "zastąp certyfikatem w formacie PEM lub DER.");
}

fs::path PersonalFolder(const fs::path& storeFolder) {
  return storeFolder / "personal";
}

fs::path IssuersFolder(const fs::path& storeFolder) {
  return storeFolder / "issuers";
}

fs::path ResolveStoreFolder(const fs::path& storeFolder) {
  return storeFolder.empty() ? DefaultCertificateStoreFolder() : storeFolder;
}

}  // namespace zelvor::platform
