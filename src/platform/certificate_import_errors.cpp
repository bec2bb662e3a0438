#include "platform/certificate_import.h"

namespace zelvor::platform {

CertificateStoreError WrongPasswordError(const std::filesystem::path& pkcs12File) {
  return CertificateStoreError("Hasło do pliku " + Quoted(pkcs12File) +
                               " jest nieprawidłowe. Wpisz hasło podane przez wystawcę "
                               "certyfikatu; nic nie zaimportowano.");
}

CertificateStoreError NotPkcs12Error(const std::filesystem::path& file) {
  return CertificateStoreError("Plik " + Quoted(file) +
                               " nie jest plikiem PKCS#12 (.p12, .pfx). Wybierz plik "
                               "certyfikatu z kluczem prywatnym otrzymany od wystawcy.");
}

}  // namespace zelvor::platform
