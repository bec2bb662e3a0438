#pragma once
// The client side of HTTPS with OpenSSL: which certificate the client presents and which extra
// issuers it trusts, set up on each OpenSSL context that the HTTP layer creates.

#include <openssl/ssl.h>

#include <memory>

#include "platform/tls_notes.h"

namespace zelvor::platform {

// Installs the client-certificate callback and adds the store's extra trusted issuers to ctx's
// verification store. Called from libcurl's CURLOPT_SSL_CTX_FUNCTION for every new SSL_CTX.
// The store is read here, once per context; ctx keeps its own copy of the settings, so the
// caller's object may go. Throws CertificateStoreError when the store cannot be used (a missing
// store folder included): the caller must catch it before it reaches libcurl and report its
// message after the call. Given notes, the context records its handshakes there.
void ConfigureSslContext(SSL_CTX* ctx, const ClientTlsSettings& settings,
                         std::shared_ptr<TlsHandshakeNotes> notes = nullptr);

}  // namespace zelvor::platform
