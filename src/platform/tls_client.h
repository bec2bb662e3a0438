#pragma once
// The client side of HTTPS: which certificate the client presents and which extra issuers it
// trusts, set up on each OpenSSL context that the HTTP layer creates.

#include <openssl/ssl.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "platform/certificate_description.h"
#include "platform/certificate_picker.h"
#include "platform/certificate_selection.h"

namespace zelvor::platform {

struct ClientTlsSettings {
  std::filesystem::path storeFolder;  // empty: the default location
  CertificateSelectors selectors;
  std::shared_ptr<CertificatePicker> picker;  // may be null
};

// What the handshakes of one call showed: enough to tell a refused client certificate from a
// broken connection, whatever form the refusal takes on the wire.
struct TlsHandshakeNotes {
  bool certificateRequested = false;              // the server asked for a client certificate
  std::optional<CertificateDescription> offered;  // the certificate sent, if any
  int alert = -1;         // the last alert the server sent (its TLS code), -1 for none
  std::string alertText;  // its long description, e.g. "certificate expired"

  // True for the alerts a server sends when it does not accept the client's certificate.
  bool CertificateAlert() const;
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
