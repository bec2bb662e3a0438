#include "register-sim/tls_context.h"

#include <openssl/err.h>

namespace zelvor::sim {
namespace {

bool Fail(std::string& error, const std::string& what) {
  char reason[256] = "";
  ERR_error_string_n(ERR_get_error(), reason, sizeof reason);
  error = what + ": " + reason;
  return false;
}

}  // namespace

bool ConfigureTls(SSL_CTX& ctx, const TlsFiles& files, std::string& error) {
  if (SSL_CTX_use_certificate_chain_file(&ctx, files.certificate.c_str()) != 1) {
    return Fail(error, "cannot read the server certificate " + files.certificate);
  }
  if (SSL_CTX_use_PrivateKey_file(&ctx, files.key.c_str(), SSL_FILETYPE_PEM) != 1 ||
      SSL_CTX_check_private_key(&ctx) != 1) {
    return Fail(error, "cannot use the server key " + files.key);
  }
  if (SSL_CTX_load_verify_locations(&ctx, files.clientCa.c_str(), nullptr) != 1) {
    return Fail(error, "cannot read the client issuers " + files.clientCa);
  }
  STACK_OF(X509_NAME)* issuers = SSL_load_client_CA_file(files.clientCa.c_str());
  if (issuers == nullptr) return Fail(error, "no issuer certificate in " + files.clientCa);
  SSL_CTX_set_client_CA_list(&ctx, issuers);  // takes ownership
  SSL_CTX_set_verify(&ctx, SSL_VERIFY_PEER | SSL_VERIFY_FAIL_IF_NO_PEER_CERT, nullptr);
  // Resumed sessions of a verified client need a context name.
  static constexpr unsigned char kContext[] = "zelvor-register-sim";
  SSL_CTX_set_session_id_context(&ctx, kContext, sizeof kContext - 1);
  SSL_CTX_set_min_proto_version(&ctx, TLS1_2_VERSION);
  return true;
}

}  // namespace zelvor::sim
