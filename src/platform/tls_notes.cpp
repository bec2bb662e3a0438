#include "platform/tls_notes.h"

namespace zelvor::platform {
namespace {

// TLS alert codes, as every TLS library numbers them.
enum Alert : int {
  kCloseNotify = 0,
  kHandshakeFailure = 40,
  kBadCertificate = 42,
  kUnsupportedCertificate = 43,
  kCertificateRevoked = 44,
  kCertificateExpired = 45,
  kCertificateUnknown = 46,
  kUnknownCa = 48,
  kAccessDenied = 49,
  kCertificateRequired = 116,
};

}  // namespace

bool TlsHandshakeNotes::DeliberateAlert() const {
  return alert >= 0 && alert != kCloseNotify;
}

bool TlsHandshakeNotes::CertificateAlert() const {
  switch (alert) {
    case kBadCertificate:
    case kUnsupportedCertificate:
    case kCertificateRevoked:
    case kCertificateExpired:
    case kCertificateUnknown:
    case kUnknownCa:
    case kAccessDenied:
    case kHandshakeFailure:
    case kCertificateRequired:
      return true;
    default:
      return false;
  }
}

ServerCertificateProblem TlsHandshakeNotes::ServerProblem() const {
  if (chainProblem) return *chainProblem;
  // A chain that verified, in a call that failed verification, means the names did not match.
  return serverNames.empty() ? ServerCertificateProblem::Other
                             : ServerCertificateProblem::WrongHost;
}

}  // namespace zelvor::platform
