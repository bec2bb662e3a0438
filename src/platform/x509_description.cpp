#include "platform/x509_description.h"

#include <openssl/asn1.h>
#include <openssl/crypto.h>
#include <openssl/x509v3.h>

#include <memory>

namespace zelvor::platform {
namespace {

std::string Utf8(const ASN1_STRING* value) {
  unsigned char* text = nullptr;
  const int length = ASN1_STRING_to_UTF8(&text, value);
  if (length < 0) return {};
  std::unique_ptr<unsigned char, decltype([](unsigned char* p) { OPENSSL_free(p); })> owned(text);
  return std::string(reinterpret_cast<const char*>(text), static_cast<std::size_t>(length));
}

std::string FirstValue(const X509_NAME& name, int nid) {
  const int index = X509_NAME_get_index_by_NID(&name, nid, -1);
  if (index < 0) return {};
  return Utf8(X509_NAME_ENTRY_get_data(X509_NAME_get_entry(&name, index)));
}

std::string FirstMailAlternativeName(const X509& certificate) {
  using Names =
      std::unique_ptr<GENERAL_NAMES, decltype([](GENERAL_NAMES* p) { GENERAL_NAMES_free(p); })>;
  Names names(static_cast<GENERAL_NAMES*>(
      X509_get_ext_d2i(&certificate, NID_subject_alt_name, nullptr, nullptr)));
  if (!names) return {};
  for (int i = 0; i < sk_GENERAL_NAME_num(names.get()); ++i) {
    const GENERAL_NAME* entry = sk_GENERAL_NAME_value(names.get(), i);
    if (entry->type == GEN_EMAIL) return Utf8(entry->d.rfc822Name);
  }
  return {};
}

std::string SimpleDisplayName(const X509& certificate) {
  const X509_NAME& subject = *X509_get_subject_name(&certificate);
  for (int nid :
       {NID_commonName, NID_organizationalUnitName, NID_organizationName, NID_pkcs9_emailAddress}) {
    if (std::string value = FirstValue(subject, nid); !value.empty()) return value;
  }
  return FirstMailAlternativeName(certificate);
}

std::string SerialHex(const X509& certificate) {
  const ASN1_INTEGER* serial = X509_get0_serialNumber(&certificate);
  const unsigned char* bytes = ASN1_STRING_get0_data(serial);
  const int length = ASN1_STRING_length(serial);
  if (length <= 0) return "00";
  std::string hex;
  hex.reserve(static_cast<std::size_t>(length) * 2);
  static constexpr char kDigits[] = "0123456789ABCDEF";
  for (int i = 0; i < length; ++i) {
    hex.push_back(kDigits[bytes[i] >> 4]);
    hex.push_back(kDigits[bytes[i] & 0x0F]);
  }
  return hex;
}

std::chrono::sys_seconds ToSysSeconds(const ASN1_TIME* time) {
  std::tm parts{};
  if (time == nullptr || ASN1_TIME_to_tm(time, &parts) != 1) return {};
  using namespace std::chrono;
  const year_month_day date{year{parts.tm_year + 1900}, month{unsigned(parts.tm_mon + 1)},
                            day{unsigned(parts.tm_mday)}};
  return sys_days{date} + hours{parts.tm_hour} + minutes{parts.tm_min} + seconds{parts.tm_sec};
}

}  // namespace

std::string NameValues(const X509_NAME& name) {
  std::string joined;
  const int count = X509_NAME_entry_count(&name);
  for (int i = 0; i < count; ++i) {
    if (i > 0) joined += ';';
    joined += Utf8(X509_NAME_ENTRY_get_data(X509_NAME_get_entry(&name, i)));
  }
  return joined;
}

CertificateDescription DescribeCertificate(const X509& certificate) {
  CertificateDescription description;
  description.displayName = SimpleDisplayName(certificate);
  description.subject = NameValues(*X509_get_subject_name(&certificate));
  description.issuer = NameValues(*X509_get_issuer_name(&certificate));
  description.serialNumber = SerialHex(certificate);
  description.notBefore = ToSysSeconds(X509_get0_notBefore(&certificate));
  description.notAfter = ToSysSeconds(X509_get0_notAfter(&certificate));
  return description;
}

}  // namespace zelvor::platform
