#pragma once
// How a certificate is shown and matched: its names, serial number and validity as text.

#include <chrono>
#include <string>

namespace zelvor::platform {

struct CertificateDescription {
  // The simple display name: the subject's CN, else its first OU, O or e-mail address.
  std::string displayName{};
  // The values of the subject's (issuer's) attributes in the certificate's order, joined by ";",
  // without attribute types: "local;gitd;GITD SUB03 CA".
  std::string subject{};
  std::string issuer{};
  // Upper-case hexadecimal, two digits per byte, most significant byte first.
  std::string serialNumber{};
  std::chrono::sys_seconds notBefore{};
  std::chrono::sys_seconds notAfter{};

  bool operator==(const CertificateDescription&) const = default;
};

// A validity bound as "yyyy-mm-dd hh:mm:ss UTC", for the certificate viewer.
std::string FormatValidityTime(std::chrono::sys_seconds time);

}  // namespace zelvor::platform
