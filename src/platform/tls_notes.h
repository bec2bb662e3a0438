#pragma once
// What the client side of HTTPS is set up with, and what its handshakes showed: the same on every
// system, whichever TLS library does the work.

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/certificate_description.h"
#include "platform/certificate_picker.h"
#include "platform/certificate_selectors.h"

namespace zelvor::platform {

struct ClientTlsSettings {
  std::filesystem::path storeFolder;  // empty: the default location
  CertificateSelectors selectors;
  std::shared_ptr<CertificatePicker> picker;  // may be null
};

// Why the server's certificate was not accepted.
enum class ServerCertificateProblem {
  None,           // it was not checked, or passed
  WrongHost,      // issued for other names than the host asked
  Expired,        // it, or a certificate of its chain, is past its validity
  NotYetValid,    // it, or a certificate of its chain, is not valid yet
  UnknownIssuer,  // no trusted issuer vouches for it
  Other,          // revoked, badly signed, unfit for a server, …
};

// What the handshakes of one call showed: enough to tell a refused client certificate from a
// broken connection, whatever form the refusal takes on the wire, and why a server's
// certificate was not accepted.
struct TlsHandshakeNotes {
  bool certificateRequested = false;              // the server asked for a client certificate
  std::optional<CertificateDescription> offered;  // the certificate sent, if any
  int alert = -1;         // the last alert the server sent (its TLS code), -1 for none
  std::string alertText;  // its long description, e.g. "certificate expired"

  // The names the server's certificate holds (its DNS names and addresses, else its CN), and
  // the first failure of its chain's verification (none when the chain verified or was not
  // checked) with the certificate at fault.
  std::vector<std::string> serverNames;
  std::optional<ServerCertificateProblem> chainProblem;
  std::optional<CertificateDescription> serverAtFault;

  // True for an alert that is the server's deliberate word on the handshake; a close_notify
  // only says the connection is going.
  bool DeliberateAlert() const;
  // True for the alerts a server sends when it does not accept the client's certificate.
  bool CertificateAlert() const;
  // Why the server's certificate failed, for a call that ended because it was not verified: a
  // chain that verified means the certificate did not name the host.
  ServerCertificateProblem ServerProblem() const;
};

}  // namespace zelvor::platform
