#pragma once
// The client side of HTTPS: which certificate the client presents and which extra issuers it
// trusts, set up on each OpenSSL context that the HTTP layer creates.

#include <openssl/ssl.h>

#include <filesystem>
#include <memory>

#include "platform/certificate_picker.h"
#include "platform/certificate_selection.h"

namespace zelvor::platform {

struct ClientTlsSettings {
  std::filesystem::path storeFolder;  // empty: the default location
  CertificateSelectors selectors;
  std::shared_ptr<CertificatePicker> picker;  // may be null
};

// Installs the client-certificate callback and adds the store's extra trusted issuers to ctx's
// verification store. Called from libcurl's CURLOPT_SSL_CTX_FUNCTION for every new SSL_CTX.
// The store is read here, once per context; ctx keeps its own copy of the settings, so the
// caller's object may go. Throws CertificateStoreError when the store cannot be used: the caller
// must catch it before it reaches libcurl and report its message after the call.
void ConfigureSslContext(SSL_CTX* ctx, const ClientTlsSettings& settings);

}  // namespace zelvor::platform
