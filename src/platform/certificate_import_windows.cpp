#include <algorithm>

#include "platform/certificate_import.h"
#include "platform/windows_certificates.h"

namespace zelvor::platform {

namespace fs = std::filesystem;

// The certificate and its key go into the personal store "MY", with the key kept by Windows for
// the current user; issuers that came with it go into the intermediate store "CA", never into the
// trusted roots.
ImportedCertificate ImportPkcs12(const fs::path& pkcs12File, const std::string& password,
                                 const fs::path&) {
  std::string bytes = ReadFileBytes(pkcs12File);
  CRYPT_DATA_BLOB blob{static_cast<DWORD>(bytes.size()), reinterpret_cast<BYTE*>(bytes.data())};
  if (!::PFXIsPFXBlob(&blob)) throw NotPkcs12Error(pkcs12File);
  const std::wstring widePassword = WideText(password);
  StoreHandle opened(::PFXImportCertStore(&blob, widePassword.c_str(), CRYPT_USER_KEYSET));
  if (!opened) {
    const DWORD code = ::GetLastError();
    if (code == ERROR_INVALID_PASSWORD || code == static_cast<DWORD>(NTE_BAD_DATA))
      throw WrongPasswordError(pkcs12File);
    throw CertificateStoreError("Nie można odczytać pliku PKCS#12 " + Quoted(pkcs12File) +
                                ". Plik może być uszkodzony albo zapisany nieobsługiwanym "
                                "szyfrowaniem. (" +
                                WindowsErrorText(code) + ")");
  }

  std::vector<CertificateHandle> contents = CertificatesOf(opened.get());
  const auto withKey = std::find_if(contents.begin(), contents.end(),
                                    [](const CertificateHandle& c) { return HasPrivateKey(*c); });
  if (withKey == contents.end()) {
    throw CertificateStoreError("Plik PKCS#12 " + Quoted(pkcs12File) +
                                " nie zawiera certyfikatu z kluczem prywatnym. Wybierz plik "
                                "wyeksportowany razem z kluczem prywatnym.");
  }
  ImportedCertificate imported{{}, {}, DescribeContext(**withKey), contents.size() - 1};

  const StoreHandle personal = OpenUserStore(L"MY");
  if (!::CertAddCertificateContextToStore(personal.get(), withKey->get(), CERT_STORE_ADD_NEW,
                                          nullptr)) {
    const DWORD code = ::GetLastError();
    if (code == static_cast<DWORD>(CRYPT_E_EXISTS)) {
      throw CertificateStoreError(
          "Osobisty magazyn certyfikatów Windows zawiera już certyfikat "
          "z pliku " +
          Quoted(pkcs12File) + "; nic nie zaimportowano.");
    }
    throw CertificateStoreError("Nie można dodać certyfikatu z pliku " + Quoted(pkcs12File) +
                                " do osobistego magazynu certyfikatów Windows. (" +
                                WindowsErrorText(code) + ")");
  }
  const StoreHandle intermediates = OpenUserStore(L"CA");
  for (const CertificateHandle& certificate : contents) {
    CERT_INFO& info = *certificate->pCertInfo;
    const bool selfSigned =
        ::CertCompareCertificateName(X509_ASN_ENCODING, &info.Subject, &info.Issuer) != FALSE;
    if (certificate == *withKey || selfSigned) continue;
    // The chain only helps Windows send it; a failure here leaves the certificate usable.
    ::CertAddCertificateContextToStore(intermediates.get(), certificate.get(),
                                       CERT_STORE_ADD_USE_EXISTING, nullptr);
  }
  return imported;
}

}  // namespace zelvor::platform
