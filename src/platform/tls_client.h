#pragma once
// The client side of HTTPS: which certificate the client presents and which extra issuers it
// trusts, set up on each OpenSSL context that the HTTP layer creates.

#include <openssl/ssl.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/certificate_description.h"
#include "platform/certificate_picker.h"
#include "platform/certificate_selection.h"

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
  // the first failure of its verification: OpenSSL's code (0 for none) and the certificate at
  // fault.
  std::vector<std::string> serverNames;
  int serverVerifyError = 0;
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

// Installs the client-certificate callback and adds the store's extra trusted issuers to ctx's
// verification store. Called from libcurl's CURLOPT_SSL_CTX_FUNCTION for every new SSL_CTX.
// The store is read here, once per context; ctx keeps its own copy of the settings, so the
// caller's object may go. Throws CertificateStoreError when the store cannot be used (a missing
// store folder included): the caller must catch it before it reaches libcurl and report its
// message after the call. Given notes, the context records its handshakes there.
void ConfigureSslContext(SSL_CTX* ctx, const ClientTlsSettings& settings,
                         std::shared_ptr<TlsHandshakeNotes> notes = nullptr);

}  // namespace zelvor::platform
