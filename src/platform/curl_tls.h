#pragma once
// The client side of HTTPS on one libcurl handle: the certificate the client presents, the
// issuers it trusts, and what its handshakes showed. With OpenSSL (Linux) the certificate is
// chosen when the server asks for one; with Schannel (Windows) it is chosen from the personal
// store "MY" before the first call and reaches libcurl by its thumbprint.

#include <curl/curl.h>

#include <memory>
#include <string>

#include "platform/tls_notes.h"

namespace zelvor::platform {

class CurlTls {
 public:
  // Sets curl up with the settings; curl must outlive this object's last transfer.
  CurlTls(CURL* curl, ClientTlsSettings settings);
  ~CurlTls();
  CurlTls(const CurlTls&) = delete;
  CurlTls& operator=(const CurlTls&) = delete;

  // Called before each transfer: forgets the last handshake's notes. Throws
  // CertificateStoreError when the store cannot be used.
  void BeginTransfer();
  // A store failure met inside libcurl during the last transfer; empty for none.
  const std::string& SetupError() const;
  // Learns what it can about a failed transfer from the library's text.
  void NoteFailure(const std::string& libraryText);
  const TlsHandshakeNotes& Notes() const;

  // What each TLS library's side keeps; defined beside it.
  struct State;

 private:
  std::unique_ptr<State> state_;
};

}  // namespace zelvor::platform
