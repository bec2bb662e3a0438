#include "platform/certificate_import.h"

#include <openssl/err.h>

#include <optional>

#include "platform/certificate_files.h"
#include "platform/certificate_store.h"
#include "platform/x509_description.h"

namespace zelvor::platform {
namespace {

namespace fs = std::filesystem;

// Creates the folder and any missing parents as private to the owner.
void CreatePrivateFolders(const fs::path& folder) {
  std::error_code error;
  for (fs::path partial; const fs::path& part : folder) {
    partial /= part;
    if (fs::exists(partial, error)) continue;
    fs::create_directory(partial, error);
    if (!error) fs::permissions(partial, fs::perms::owner_all, error);
    if (error) {
      throw CertificateStoreError("Nie można utworzyć folderu certyfikatów " + Quoted(partial) +
                                  ". Sprawdź uprawnienia do folderu nadrzędnego. (" +
                                  error.message() + ")");
    }
  }
}

void RequireAbsent(const fs::path& file) {
  std::error_code error;
  if (fs::exists(file, error)) {
    throw CertificateStoreError("Magazyn certyfikatów zawiera już plik " + Quoted(file) +
                                ". Usuń go albo zmień nazwę importowanego pliku; nic nie "
                                "zaimportowano.");
  }
}

}  // namespace

ImportedCertificate ImportPkcs12(const fs::path& pkcs12File, const std::string& password,
                                 const fs::path& storeFolder) {
  std::optional<Pkcs12Contents> contents =
      OpenPkcs12(ReadFileBytes(pkcs12File), password, pkcs12File);
  if (!contents) {
    throw WrongPasswordError(pkcs12File);
  }
  if (X509_check_private_key(contents->certificate.get(), contents->privateKey.get()) != 1) {
    ERR_clear_error();
    throw CertificateStoreError("Klucz prywatny w pliku " + Quoted(pkcs12File) +
                                " nie należy do jego certyfikatu. Poproś wystawcę o poprawny "
                                "plik; nic nie zaimportowano.");
  }

  const fs::path personal = PersonalFolder(ResolveStoreFolder(storeFolder));
  const std::string name = pkcs12File.stem().string();
  ImportedCertificate imported{personal / (name + ".crt"), personal / (name + ".key"),
                               DescribeCertificate(*contents->certificate), contents->chain.size()};
  RequireAbsent(imported.certificateFile);
  RequireAbsent(imported.keyFile);
  CreatePrivateFolders(personal);

  std::vector<const X509*> certificates{contents->certificate.get()};
  for (const X509Ptr& link : contents->chain) certificates.push_back(link.get());
  WriteNewPrivateFile(imported.keyFile, PrivateKeyToPem(*contents->privateKey));
  try {
    WriteNewPrivateFile(imported.certificateFile, CertificatesToPem(certificates));
  } catch (...) {
    std::error_code ignored;
    fs::remove(imported.keyFile, ignored);
    throw;
  }
  return imported;
}

}  // namespace zelvor::platform
