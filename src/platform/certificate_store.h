#pragma once
// The user's certificate store, as the rest of the program sees it on every system: where it is,
// what it holds, and the errors it gives. On Linux it is a folder of certificates with their keys
// (certificate_folder.h); on Windows the current user's personal store "MY". Either way a folder
// of extra issuer certificates is trusted besides the system's issuers.
// Messages are Polish: one sentence saying what is wrong and what to do, then any library text in
// parentheses.

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/certificate_description.h"

namespace zelvor::platform {

// A store, or a file of it, that cannot be used; the message names it and what to do.
class CertificateStoreError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A path in double quotes, in UTF-8, as messages name files.
std::string Quoted(const std::filesystem::path& file);

// The whole file; throws CertificateStoreError naming the file when it cannot be read.
std::string ReadFileBytes(const std::filesystem::path& file);

// The error of a store file that holds no certificate.
CertificateStoreError NoCertificateIn(const std::filesystem::path& file);

std::filesystem::path DefaultCertificateStoreFolder();
std::filesystem::path PersonalFolder(const std::filesystem::path& storeFolder);
std::filesystem::path IssuersFolder(const std::filesystem::path& storeFolder);

// The store folder to use: the given one, or the default when it is empty.
std::filesystem::path ResolveStoreFolder(const std::filesystem::path& storeFolder);

// Throws CertificateStoreError naming the folder, and saying how to put a certificate there,
// when the store cannot be used for a call: on Linux, when the store folder (the default when
// empty) is not an existing folder.
void CheckStoreFolder(const std::filesystem::path& storeFolder);

// The personal certificates as the certificate viewer lists them, in store order. Given a list
// of problems, entries that cannot be used are passed over and their messages added to it;
// without one the first such entry throws CertificateStoreError.
std::vector<CertificateDescription> ListPersonalCertificates(
    const std::filesystem::path& storeFolder, std::vector<std::string>* problems = nullptr);

// Where a person finds the personal certificates, for sentences: "w magazynie certyfikatów …",
// and how to add one besides importing it (empty when importing is the only way).
std::string PersonalStoreText(const std::filesystem::path& storeFolder);
std::string PersonalStoreHint(const std::filesystem::path& storeFolder);

}  // namespace zelvor::platform
