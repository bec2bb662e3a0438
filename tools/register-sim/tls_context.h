#pragma once
// The register's TLS side: its own certificate, and a client certificate demanded from
// the configured issuers, whose names are sent to the client as the accepted ones.

#include <openssl/ssl.h>

#include <string>

namespace zelvor::sim {

struct TlsFiles {
  std::string certificate;  // PEM chain, the server's certificate first
  std::string key;          // PEM private key
  std::string clientCa;     // PEM issuer certificates accepted for client certificates
};

// Returns false with the reason in error.
bool ConfigureTls(SSL_CTX& ctx, const TlsFiles& files, std::string& error);

}  // namespace zelvor::sim
