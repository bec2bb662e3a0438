#pragma once
// The current user's certificate stores through CryptoAPI: owning handles, and what the program
// reads of a certificate there.

#include <windows.h>
// CryptoAPI needs the types windows.h declares first.
#include <wincrypt.h>

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/certificate_description.h"

namespace zelvor::platform {

struct StoreCloser {
  void operator()(HCERTSTORE store) const { ::CertCloseStore(store, 0); }
};
using StoreHandle = std::unique_ptr<void, StoreCloser>;

struct ContextFree {
  void operator()(PCCERT_CONTEXT context) const { ::CertFreeCertificateContext(context); }
};
using CertificateHandle = std::unique_ptr<const CERT_CONTEXT, ContextFree>;

std::wstring WideText(std::string_view utf8);
// The system's text for an error code (GetLastError), with the code, for messages.
std::string WindowsErrorText(DWORD code);
std::string Utf8Text(std::wstring_view wide);

// The current user's system store of that name ("MY", "CA", "ROOT"), created when missing;
// throws CertificateStoreError when it cannot be opened.
StoreHandle OpenUserStore(const wchar_t* name);

CertificateDescription DescribeContext(const CERT_CONTEXT& certificate);

// The SHA-1 hash of the certificate in upper-case hexadecimal: how libcurl finds it in a store.
std::string Thumbprint(const CERT_CONTEXT& certificate);

bool HasPrivateKey(const CERT_CONTEXT& certificate);

// Every certificate of the store, in the store's order.
std::vector<CertificateHandle> CertificatesOf(HCERTSTORE store);

// The certificate as PEM text.
std::string CertificatePem(const CERT_CONTEXT& certificate);

// The certificates of the files (*.pem, *.crt, *.cer; PEM, several a file, or DER) of a folder
// as PEM text, files in name order; empty when the folder does not exist. A file that holds no
// certificate throws CertificateStoreError naming it.
std::string FolderCertificatesPem(const std::filesystem::path& folder);

}  // namespace zelvor::platform
