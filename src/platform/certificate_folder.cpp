#include "platform/certificate_folder.h"

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <set>

#include "platform/certificate_files.h"
#include "platform/x509_description.h"

namespace zelvor::platform {
namespace {

namespace fs = std::filesystem;

std::string LowerExtension(const fs::path& file) {
  std::string extension = file.extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return extension;
}

// The regular files of a folder with one of the extensions, sorted by file name; none when the
// folder does not exist.
std::vector<fs::path> FilesIn(const fs::path& folder, const std::set<std::string>& extensions) {
  std::vector<fs::path> files;
  std::error_code error;
  if (!fs::exists(folder, error)) return files;
  fs::directory_iterator it(folder, error);
  if (error) {
    throw CertificateStoreError("Nie można odczytać folderu certyfikatów " + Quoted(folder) +
                                ". Sprawdź uprawnienia do tego folderu. (" + error.message() + ")");
  }
  for (const fs::directory_entry& entry : it) {
    if (entry.is_regular_file(error) && extensions.contains(LowerExtension(entry.path()))) {
      files.push_back(entry.path());
    }
  }
  std::sort(files.begin(), files.end(), [](const fs::path& a, const fs::path& b) {
    return a.filename().string() < b.filename().string();
  });
  return files;
}

PersonalCertificate ReadPkcs12Entry(const fs::path& file) {
  RequireOwnerOnly(file);
  std::optional<Pkcs12Contents> contents = OpenPkcs12(ReadFileBytes(file), "", file);
  if (!contents) {
    throw CertificateStoreError("Plik PKCS#12 " + Quoted(file) +
                                " jest chroniony hasłem. Zaimportuj go przyciskiem „Importuj "
                                "certyfikat…”, podając hasło, zamiast kopiować go do magazynu.");
  }
  return {file, std::move(contents->certificate), std::move(contents->privateKey),
          std::move(contents->chain)};
}

EvpPkeyPtr ReadKeyFile(const fs::path& file) {
  RequireOwnerOnly(file);
  EvpPkeyPtr key = ParsePemPrivateKey(ReadFileBytes(file), file);
  if (!key) {
    throw CertificateStoreError("Plik " + Quoted(file) +
                                " nie zawiera klucza prywatnego. Umieść w nim klucz prywatny "
                                "certyfikatu albo usuń go z magazynu.");
  }
  return key;
}

PersonalCertificate ReadPemEntry(const fs::path& file) {
  const std::string bytes = ReadFileBytes(file);
  std::vector<X509Ptr> certificates = ParseCertificates(bytes);
  if (certificates.empty()) {
    throw NoCertificateIn(file);
  }
  PersonalCertificate entry{file, std::move(certificates.front()), nullptr, {}};
  std::move(certificates.begin() + 1, certificates.end(), std::back_inserter(entry.chain));

  fs::path keyFile = file;
  keyFile.replace_extension(".key");
  if (bytes.find("PRIVATE KEY-----") != std::string::npos) {
    RequireOwnerOnly(file);
    entry.privateKey = ParsePemPrivateKey(bytes, file);
  } else if (std::error_code error; fs::exists(keyFile, error)) {
    entry.privateKey = ReadKeyFile(keyFile);
  } else {
    throw CertificateStoreError("Certyfikat " + Quoted(file) +
                                " nie ma klucza prywatnego. Umieść klucz w tym samym pliku albo "
                                "w pliku " +
                                Quoted(keyFile) + ".");
  }
  if (X509_check_private_key(entry.certificate.get(), entry.privateKey.get()) != 1) {
    const std::string reason = TakeOpenSslError();
    throw CertificateStoreError("Klucz prywatny pliku " + Quoted(file) +
                                " nie należy do jego certyfikatu. Umieść obok certyfikatu jego "
                                "własny klucz. (" +
                                reason + ")");
  }
  return entry;
}

}  // namespace

fs::path DefaultCertificateStoreFolder() {
  fs::path data;
  if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && fs::path(xdg).is_absolute()) {
    data = xdg;
  } else if (const char* home = std::getenv("HOME"); home && *home) {
    data = fs::path(home) / ".local" / "share";
  } else if (const passwd* user = ::getpwuid(::getuid()); user && user->pw_dir) {
    data = fs::path(user->pw_dir) / ".local" / "share";
  }
  return data / "zelvor" / "certificates";
}

void CheckStoreFolder(const fs::path& storeFolder) {
  const fs::path root = ResolveStoreFolder(storeFolder);
  std::error_code error;
  if (fs::is_directory(root, error)) return;
  throw CertificateStoreError(
      "Nie ma folderu magazynu certyfikatów " + Quoted(root) +
      ". Zaimportuj certyfikat przyciskiem „Importuj certyfikat…” albo umieść go w podfolderze "
      "„personal” tego folderu." +
      (error && error != std::errc::no_such_file_or_directory ? " (" + error.message() + ")" : ""));
}

CertificateStore LoadCertificateStore(const fs::path& storeFolder,
                                      std::vector<std::string>* problems) {
  const fs::path root = ResolveStoreFolder(storeFolder);
  // Runs one file's reading; a file that cannot be used ends the load or, when problems are
  // collected, is passed over.
  auto each = [problems](const std::vector<fs::path>& files, auto&& read) {
    for (const fs::path& file : files) {
      try {
        read(file);
      } catch (const CertificateStoreError& e) {
        if (problems == nullptr) throw;
        problems->push_back(e.what());
      }
    }
  };
  CertificateStore store;
  each(FilesIn(PersonalFolder(root), {".p12", ".pfx", ".pem", ".crt", ".cer"}),
       [&](const fs::path& file) {
         const std::string extension = LowerExtension(file);
         store.personal.push_back(extension == ".p12" || extension == ".pfx" ? ReadPkcs12Entry(file)
                                                                             : ReadPemEntry(file));
       });
  each(FilesIn(IssuersFolder(root), {".pem", ".crt", ".cer"}), [&](const fs::path& file) {
    std::vector<X509Ptr> certificates = ParseCertificates(ReadFileBytes(file));
    if (certificates.empty()) throw NoCertificateIn(file);
    std::move(certificates.begin(), certificates.end(), std::back_inserter(store.issuers));
  });
  return store;
}

std::vector<CertificateDescription> DescribePersonalCertificates(const CertificateStore& store) {
  std::vector<CertificateDescription> descriptions;
  for (const PersonalCertificate& entry : store.personal) {
    descriptions.push_back(DescribeCertificate(*entry.certificate));
  }
  return descriptions;
}

std::vector<CertificateDescription> ListPersonalCertificates(const fs::path& storeFolder,
                                                             std::vector<std::string>* problems) {
  return DescribePersonalCertificates(LoadCertificateStore(storeFolder, problems));
}

std::string PersonalStoreText(const fs::path& storeFolder) {
  return "w magazynie certyfikatów " + Quoted(ResolveStoreFolder(storeFolder));
}

std::string PersonalStoreHint(const fs::path& storeFolder) {
  return " albo umieść go w folderze " + Quoted(PersonalFolder(ResolveStoreFolder(storeFolder)));
}

}  // namespace zelvor::platform
