#pragma once
// Installs a certificate issued as a password-protected PKCS#12 file (.p12, .pfx) into the
// personal folder of the certificate store.

#include <cstddef>
#include <filesystem>
#include <string>

#include "platform/certificate_description.h"
#include "platform/certificate_store.h"

namespace zelvor::platform {

struct ImportedCertificate {
  // On Linux the files written; on Windows, where the certificate goes into the personal store
  // "MY", both are empty.
  std::filesystem::path certificateFile;  // <name>.crt: the certificate, then its chain
  std::filesystem::path keyFile;          // <name>.key: the private key, unencrypted, mode 0600
  CertificateDescription description;
  std::size_t chainCertificates = 0;
};

// Opens the file with the password and writes <name>.crt and <name>.key (name: the file's own
// name without extension), both readable by their owner only. A wrong password, a file that is no
// PKCS#12, or a name already in the store throws CertificateStoreError and writes nothing.
// An empty storeFolder means the default location.
ImportedCertificate ImportPkcs12(const std::filesystem::path& pkcs12File,
                                 const std::string& password,
                                 const std::filesystem::path& storeFolder);

// The errors of an import, the same on every system.
CertificateStoreError WrongPasswordError(const std::filesystem::path& pkcs12File);
CertificateStoreError NotPkcs12Error(const std::filesystem::path& file);

}  // namespace zelvor::platform
