#include "platform/windows_certificates.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <set>

#include "platform/certificate_store.h"

namespace zelvor::platform {
namespace {

namespace fs = std::filesystem;

struct LocalFreer {
  void operator()(void* memory) const { ::LocalFree(memory); }
};

std::string AttributeText(const CERT_RDN_ATTR& attribute) {
  const DWORD length = ::CertRDNValueToStrW(
      attribute.dwValueType, const_cast<CERT_RDN_VALUE_BLOB*>(&attribute.Value), nullptr, 0);
  std::wstring text(length, L'\0');
  ::CertRDNValueToStrW(attribute.dwValueType, const_cast<CERT_RDN_VALUE_BLOB*>(&attribute.Value),
                       text.data(), length);
  if (!text.empty() && text.back() == L'\0') text.pop_back();
  return Utf8Text(text);
}

// The attributes of an encoded name in the certificate's order, with their object identifiers.
std::vector<std::pair<std::string, std::string>> NameAttributes(const CERT_NAME_BLOB& name) {
  std::vector<std::pair<std::string, std::string>> attributes;
  CERT_NAME_INFO* info = nullptr;
  DWORD size = 0;
  if (!::CryptDecodeObjectEx(X509_ASN_ENCODING, X509_NAME, name.pbData, name.cbData,
                             CRYPT_DECODE_ALLOC_FLAG, nullptr, &info, &size)) {
    return attributes;
  }
  std::unique_ptr<void, LocalFreer> owned(info);
  for (DWORD i = 0; i < info->cRDN; ++i) {
    const CERT_RDN& rdn = info->rgRDN[i];
    for (DWORD j = 0; j < rdn.cRDNAttr; ++j) {
      attributes.emplace_back(rdn.rgRDNAttr[j].pszObjId, AttributeText(rdn.rgRDNAttr[j]));
    }
  }
  return attributes;
}

std::string JoinedValues(const std::vector<std::pair<std::string, std::string>>& attributes) {
  std::string joined;
  for (std::size_t i = 0; i < attributes.size(); ++i) {
    if (i > 0) joined += ';';
    joined += attributes[i].second;
  }
  return joined;
}

std::string DisplayName(const CERT_CONTEXT& certificate,
                        const std::vector<std::pair<std::string, std::string>>& subject) {
  for (const char* oid : {szOID_COMMON_NAME, szOID_ORGANIZATIONAL_UNIT_NAME,
                          szOID_ORGANIZATION_NAME, szOID_RSA_emailAddr}) {
    for (const auto& [type, value] : subject) {
      if (type == oid && !value.empty()) return value;
    }
  }
  wchar_t mail[512] = {};
  ::CertGetNameStringW(&certificate, CERT_NAME_EMAIL_TYPE, 0, nullptr, mail, 512);
  return Utf8Text(mail);
}

// CryptoAPI keeps the serial number least significant byte first, with the sign byte.
std::string SerialHex(const CRYPT_INTEGER_BLOB& serial) {
  std::vector<BYTE> bytes(serial.pbData, serial.pbData + serial.cbData);
  std::reverse(bytes.begin(), bytes.end());
  while (bytes.size() > 1 && bytes.front() == 0) bytes.erase(bytes.begin());
  if (bytes.empty()) return "00";
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string hex;
  for (BYTE b : bytes) {
    hex.push_back(kDigits[b >> 4]);
    hex.push_back(kDigits[b & 0x0F]);
  }
  return hex;
}

std::chrono::sys_seconds ToSysSeconds(const FILETIME& time) {
  // FILETIME counts 100 ns steps from 1601-01-01.
  constexpr std::int64_t kUnixEpoch = 116444736000000000LL;
  const std::int64_t ticks =
      (static_cast<std::int64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
  return std::chrono::sys_seconds{std::chrono::seconds{(ticks - kUnixEpoch) / 10000000}};
}

std::string LowerExtension(const fs::path& file) {
  std::string extension = Utf8Text(file.extension().wstring());
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return extension;
}

// The DER certificates of a file's bytes: each PEM block, or the bytes themselves.
std::vector<std::string> DerCertificates(const std::string& bytes) {
  static constexpr std::string_view kBegin = "-----BEGIN CERTIFICATE-----";
  static constexpr std::string_view kEnd = "-----END CERTIFICATE-----";
  std::vector<std::string> certificates;
  if (bytes.find(kBegin) == std::string::npos) {
    certificates.push_back(bytes);
    return certificates;
  }
  for (std::size_t at = bytes.find(kBegin); at != std::string::npos;
       at = bytes.find(kBegin, at + 1)) {
    const std::size_t end = bytes.find(kEnd, at);
    if (end == std::string::npos) break;
    const std::string block = bytes.substr(at, end + kEnd.size() - at);
    DWORD size = 0;
    if (!::CryptStringToBinaryA(block.c_str(), static_cast<DWORD>(block.size()),
                                CRYPT_STRING_BASE64HEADER, nullptr, &size, nullptr, nullptr))
      continue;
    std::string der(size, '\0');
    if (::CryptStringToBinaryA(block.c_str(), static_cast<DWORD>(block.size()),
                               CRYPT_STRING_BASE64HEADER, reinterpret_cast<BYTE*>(der.data()),
                               &size, nullptr, nullptr)) {
      der.resize(size);
      certificates.push_back(der);
    }
  }
  return certificates;
}

}  // namespace

std::wstring WideText(std::string_view utf8) {
  if (utf8.empty()) return {};
  const int length =
      ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(),
                        length);
  return wide;
}

std::string Utf8Text(std::wstring_view wide) {
  if (wide.empty()) return {};
  const int length = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                           nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(length), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), length,
                        nullptr, nullptr);
  return utf8;
}

std::string WindowsErrorText(DWORD code) {
  wchar_t* text = nullptr;
  const DWORD length = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::string message = length == 0 ? "" : Utf8Text(std::wstring_view(text, length));
  ::LocalFree(text);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r')) message.pop_back();
  char code_text[16] = {};
  std::snprintf(code_text, sizeof code_text, "0x%08lX", static_cast<unsigned long>(code));
  return message.empty() ? code_text : message + " " + code_text;
}

StoreHandle OpenUserStore(const wchar_t* name) {
  HCERTSTORE store =
      ::CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_CURRENT_USER, name);
  if (store == nullptr) {
    throw CertificateStoreError("Nie można otworzyć magazynu certyfikatów Windows „" +
                                Utf8Text(name) + "” bieżącego użytkownika. (" +
                                WindowsErrorText(::GetLastError()) + ")");
  }
  return StoreHandle(store);
}

CertificateDescription DescribeContext(const CERT_CONTEXT& certificate) {
  const CERT_INFO& info = *certificate.pCertInfo;
  const auto subject = NameAttributes(info.Subject);
  CertificateDescription description;
  description.displayName = DisplayName(certificate, subject);
  description.subject = JoinedValues(subject);
  description.issuer = JoinedValues(NameAttributes(info.Issuer));
  description.serialNumber = SerialHex(info.SerialNumber);
  description.notBefore = ToSysSeconds(info.NotBefore);
  description.notAfter = ToSysSeconds(info.NotAfter);
  return description;
}

std::string Thumbprint(const CERT_CONTEXT& certificate) {
  BYTE hash[20] = {};
  DWORD size = sizeof hash;
  if (!::CertGetCertificateContextProperty(&certificate, CERT_SHA1_HASH_PROP_ID, hash, &size))
    return {};
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string hex;
  for (DWORD i = 0; i < size; ++i) {
    hex.push_back(kDigits[hash[i] >> 4]);
    hex.push_back(kDigits[hash[i] & 0x0F]);
  }
  return hex;
}

bool HasPrivateKey(const CERT_CONTEXT& certificate) {
  DWORD size = 0;
  return ::CertGetCertificateContextProperty(&certificate, CERT_KEY_PROV_INFO_PROP_ID, nullptr,
                                             &size) != FALSE;
}

std::vector<CertificateHandle> CertificatesOf(HCERTSTORE store) {
  std::vector<CertificateHandle> certificates;
  for (PCCERT_CONTEXT at = ::CertEnumCertificatesInStore(store, nullptr); at != nullptr;
       at = ::CertEnumCertificatesInStore(store, at)) {
    certificates.emplace_back(::CertDuplicateCertificateContext(at));
  }
  return certificates;
}

std::string CertificatePem(const CERT_CONTEXT& certificate) {
  DWORD size = 0;
  ::CryptBinaryToStringA(certificate.pbCertEncoded, certificate.cbCertEncoded,
                         CRYPT_STRING_BASE64HEADER, nullptr, &size);
  std::string pem(size, '\0');
  if (!::CryptBinaryToStringA(certificate.pbCertEncoded, certificate.cbCertEncoded,
                              CRYPT_STRING_BASE64HEADER, pem.data(), &size))
    return {};
  pem.resize(size);
  while (!pem.empty() && pem.back() == '\0') pem.pop_back();
  return pem;
}

std::string FolderCertificatesPem(const fs::path& folder) {
  std::error_code error;
  if (!fs::exists(folder, error)) return {};
  std::vector<fs::path> files;
  fs::directory_iterator it(folder, error);
  if (error) {
    throw CertificateStoreError("Nie można odczytać folderu certyfikatów " + Quoted(folder) +
                                ". Sprawdź uprawnienia do tego folderu. (" + error.message() + ")");
  }
  const std::set<std::string> extensions{".pem", ".crt", ".cer"};
  for (const fs::directory_entry& entry : it) {
    if (entry.is_regular_file(error) && extensions.contains(LowerExtension(entry.path())))
      files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  std::string pem;
  for (const fs::path& file : files) {
    bool any = false;
    for (const std::string& der : DerCertificates(ReadFileBytes(file))) {
      CertificateHandle certificate(::CertCreateCertificateContext(
          X509_ASN_ENCODING | PKCS_7_ASN_ENCODING, reinterpret_cast<const BYTE*>(der.data()),
          static_cast<DWORD>(der.size())));
      if (!certificate) continue;
      pem += CertificatePem(*certificate);
      any = true;
    }
    if (!any) throw NoCertificateIn(file);
  }
  return pem;
}

}  // namespace zelvor::platform
