#include "platform/certificate_files.h"

#include <fcntl.h>
#include <openssl/err.h>
#include <openssl/pem.h>
#include <openssl/provider.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

#include "platform/certificate_import.h"
#include "platform/certificate_store.h"

namespace zelvor::platform {
namespace {

BioPtr MemoryReader(const std::string& bytes) {
  return BioPtr(BIO_new_mem_buf(bytes.data(), static_cast<int>(bytes.size())));
}

std::string MemoryContents(BIO* bio) {
  char* data = nullptr;
  const long length = BIO_get_mem_data(bio, &data);
  return std::string(data, static_cast<std::size_t>(length));
}

// Never prompts on the terminal for a PEM password: an encrypted key simply does not open.
int NoPassword(char*, int, int, void*) {
  return 0;
}

// Windows exports PKCS#12 files with algorithms that OpenSSL 3 keeps in its legacy provider.
bool LoadLegacyAlgorithms() {
  static OSSL_PROVIDER* const legacy = OSSL_PROVIDER_try_load(nullptr, "legacy", 1);
  return legacy != nullptr;
}

struct Fd {
  int fd = -1;
  ~Fd() {
    if (fd >= 0) ::close(fd);
  }
};

}  // namespace

void RequireOwnerOnly(const std::filesystem::path& file) {
  struct stat info {};
  if (::stat(file.c_str(), &info) != 0) {
    throw CertificateStoreError("Nie można odczytać pliku klucza prywatnego " + Quoted(file) +
                                ". Sprawdź, czy plik istnieje i czy masz prawo go czytać. (" +
                                std::strerror(errno) + ")");
  }
  if ((info.st_mode & (S_IRWXG | S_IRWXO)) != 0) {
    std::array<char, 8> mode{};
    std::snprintf(mode.data(), mode.size(), "%03o", info.st_mode & 0777U);
    throw CertificateStoreError("Plik klucza prywatnego " + Quoted(file) +
                                " jest dostępny dla innych użytkowników (uprawnienia " +
                                mode.data() +
                                "), więc nie zostanie użyty. Ogranicz dostęp poleceniem: "
                                "chmod 600 " +
                                Quoted(file) + ".");
  }
}

std::vector<X509Ptr> ParseCertificates(const std::string& bytes) {
  std::vector<X509Ptr> certificates;
  BioPtr bio = MemoryReader(bytes);
  while (X509* certificate = PEM_read_bio_X509(bio.get(), nullptr, NoPassword, nullptr)) {
    certificates.emplace_back(certificate);
  }
  ERR_clear_error();  // the end of the PEM text reads as an error
  if (certificates.empty()) {
    const auto* der = reinterpret_cast<const unsigned char*>(bytes.data());
    if (X509* certificate = d2i_X509(nullptr, &der, static_cast<long>(bytes.size()))) {
      certificates.emplace_back(certificate);
    }
    ERR_clear_error();
  }
  return certificates;
}

EvpPkeyPtr ParsePemPrivateKey(const std::string& bytes, const std::filesystem::path& file) {
  if (bytes.find("PRIVATE KEY-----") == std::string::npos) return nullptr;
  BioPtr bio = MemoryReader(bytes);
  EvpPkeyPtr key(PEM_read_bio_PrivateKey(bio.get(), nullptr, NoPassword, nullptr));
  if (key) return key;
  const std::string reason = TakeOpenSslError();
  if (bytes.find("ENCRYPTED") != std::string::npos) {
    throw CertificateStoreError("Klucz prywatny w pliku " + Quoted(file) +
                                " jest chroniony hasłem. Zapisz go bez hasła albo zaimportuj "
                                "plik PKCS#12, z którego pochodzi.");
  }
  throw CertificateStoreError("Nie można odczytać klucza prywatnego z pliku " + Quoted(file) +
                              ". Sprawdź, czy to klucz w formacie PEM. (" + reason + ")");
}

std::optional<Pkcs12Contents> OpenPkcs12(const std::string& bytes, const std::string& password,
                                         const std::filesystem::path& file) {
  const auto* der = reinterpret_cast<const unsigned char*>(bytes.data());
  Pkcs12Ptr p12(d2i_PKCS12(nullptr, &der, static_cast<long>(bytes.size())));
  if (!p12) {
    ERR_clear_error();
    throw NotPkcs12Error(file);
  }
  // An empty password may be stored as no password at all; both mean "none".
  const char* pass = password.c_str();
  if (PKCS12_mac_present(p12.get())) {
    const int length = static_cast<int>(password.size());
    if (PKCS12_verify_mac(p12.get(), pass, length) != 1) {
      if (!password.empty() || PKCS12_verify_mac(p12.get(), nullptr, 0) != 1) {
        ERR_clear_error();
        return std::nullopt;
      }
      pass = nullptr;
    }
  }
  Pkcs12Contents contents;
  auto parse = [&] {
    EVP_PKEY* key = nullptr;
    X509* certificate = nullptr;
    STACK_OF(X509)* chain = nullptr;
    const bool ok = PKCS12_parse(p12.get(), pass, &key, &certificate, &chain) == 1;
    contents = {X509Ptr(certificate), EvpPkeyPtr(key), TakeCertificates(X509StackPtr(chain))};
    return ok;
  };
  if (!parse()) {
    std::string reason = TakeOpenSslError();
    if (!LoadLegacyAlgorithms() || !parse()) {
      if (reason.empty()) reason = TakeOpenSslError();
      throw CertificateStoreError("Nie można odczytać pliku PKCS#12 " + Quoted(file) +
                                  ". Plik może być uszkodzony albo zapisany nieobsługiwanym "
                                  "szyfrowaniem. (" +
                                  reason + ")");
    }
  }
  if (!contents.certificate || !contents.privateKey) {
    throw CertificateStoreError("Plik PKCS#12 " + Quoted(file) +
                                " nie zawiera certyfikatu z kluczem prywatnym. Wybierz plik "
                                "wyeksportowany razem z kluczem prywatnym.");
  }
  return contents;
}

std::string CertificatesToPem(const std::vector<const X509*>& certificates) {
  BioPtr bio(BIO_new(BIO_s_mem()));
  for (const X509* certificate : certificates) {
    PEM_write_bio_X509(bio.get(), certificate);
  }
  return MemoryContents(bio.get());
}

std::string PrivateKeyToPem(const EVP_PKEY& key) {
  BioPtr bio(BIO_new(BIO_s_mem()));
  PEM_write_bio_PrivateKey(bio.get(), &key, nullptr, nullptr, 0, nullptr, nullptr);
  return MemoryContents(bio.get());
}

void WriteNewPrivateFile(const std::filesystem::path& file, const std::string& bytes) {
  Fd out{::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, S_IRUSR | S_IWUSR)};
  auto fail = [&](const char* what) {
    const int error = errno;
    if (out.fd >= 0) ::unlink(file.c_str());
    throw CertificateStoreError(std::string("Nie można ") + what + " " + Quoted(file) +
                                ". Sprawdź uprawnienia do folderu i wolne miejsce na dysku. (" +
                                std::strerror(error) + ")");
  };
  if (out.fd < 0) fail("utworzyć pliku");
  // The umask may have taken bits away but never adds any; make the mode exact all the same.
  if (::fchmod(out.fd, S_IRUSR | S_IWUSR) != 0) fail("zabezpieczyć pliku");
  std::size_t written = 0;
  while (written < bytes.size()) {
    const ssize_t n = ::write(out.fd, bytes.data() + written, bytes.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) fail("zapisać pliku");
    written += static_cast<std::size_t>(n);
  }
  if (::fsync(out.fd) != 0) fail("zapisać pliku");
}

}  // namespace zelvor::platform
