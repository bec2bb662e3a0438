#include "platform/certificate_store.h"
#include "platform/windows_certificates.h"
#include "platform/windows_folders.h"

namespace zelvor::platform {

namespace fs = std::filesystem;

// The personal certificates live in the store "MY"; this folder holds only the extra issuers.
fs::path DefaultCertificateStoreFolder() {
  return UserFolder(L"LOCALAPPDATA", FOLDERID_LocalAppData) / "Zelvor" / "certificates";
}

// The personal store always exists; a folder the person named and that is not there is a
// mistake worth saying, the default folder of extra issuers is optional.
void CheckStoreFolder(const fs::path& storeFolder) {
  if (storeFolder.empty()) return;
  std::error_code error;
  if (fs::is_directory(storeFolder, error)) return;
  throw CertificateStoreError("Nie ma folderu magazynu certyfikatów " + Quoted(storeFolder) +
                              ". Popraw ustawienie „[certificate] store” albo usuń je; "
                              "certyfikaty klienta są w osobistym magazynie Windows.");
}

std::vector<CertificateDescription> ListPersonalCertificates(const fs::path&,
                                                             std::vector<std::string>*) {
  std::vector<CertificateDescription> descriptions;
  const StoreHandle personal = OpenUserStore(L"MY");
  for (const CertificateHandle& certificate : CertificatesOf(personal.get()))
    descriptions.push_back(DescribeContext(*certificate));
  return descriptions;
}

std::string PersonalStoreText(const fs::path&) {
  return "w osobistym magazynie certyfikatów Windows („Osobisty”)";
}

std::string PersonalStoreHint(const fs::path&) {
  return "";
}

}  // namespace zelvor::platform
