#pragma once
// Reading and writing the files of the certificate store: PEM, DER and PKCS#12, and the
// owner-only permissions a private key file must have.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/certificate_store.h"
#include "platform/openssl_handles.h"

namespace zelvor::platform {

// Throws CertificateStoreError when group or others have any access to the file: they could
// read the key, or put another in its place.
void RequireOwnerOnly(const std::filesystem::path& file);

// Every PEM certificate in the text in order, or the one DER certificate it is; empty when none.
std::vector<X509Ptr> ParseCertificates(const std::string& bytes);

// The PEM private key in the text, or null when it holds none. A key protected by a password
// throws CertificateStoreError naming the file.
EvpPkeyPtr ParsePemPrivateKey(const std::string& bytes, const std::filesystem::path& file);

struct Pkcs12Contents {
  X509Ptr certificate;
  EvpPkeyPtr privateKey;
  std::vector<X509Ptr> chain;
};

// Opens a PKCS#12 file's bytes with the password; nullopt when the password is wrong. Bytes that
// are no PKCS#12 or hold no certificate with its key throw CertificateStoreError naming the file.
std::optional<Pkcs12Contents> OpenPkcs12(const std::string& bytes, const std::string& password,
                                         const std::filesystem::path& file);

// PEM text of certificates and of a private key (unencrypted PKCS#8).
std::string CertificatesToPem(const std::vector<const X509*>& certificates);
std::string PrivateKeyToPem(const EVP_PKEY& key);

// Creates the file readable and writable by its owner only and writes the bytes; fails when the
// file exists. Throws CertificateStoreError naming the file.
void WriteNewPrivateFile(const std::filesystem::path& file, const std::string& bytes);

}  // namespace zelvor::platform
