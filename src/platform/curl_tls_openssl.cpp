#include "platform/curl_tls.h"
#include "platform/tls_client.h"

namespace zelvor::platform {

struct CurlTls::State {
  ClientTlsSettings settings;
  // Shared with the SSL contexts libcurl keeps, which may outlive this object.
  std::shared_ptr<TlsHandshakeNotes> notes = std::make_shared<TlsHandshakeNotes>();
  std::string setupError;
};

namespace {

CURLcode OnSslContext(CURL*, void* sslContext, void* user) {
  auto& state = *static_cast<CurlTls::State*>(user);
  try {
    ConfigureSslContext(static_cast<SSL_CTX*>(sslContext), state.settings, state.notes);
  } catch (const std::exception& error) {
    // The store's error (a missing folder, a key others can read) is reported after the call.
    state.setupError = error.what();
    return CURLE_ABORTED_BY_CALLBACK;
  }
  return CURLE_OK;
}

}  // namespace

CurlTls::CurlTls(CURL* curl, ClientTlsSettings settings) : state_(std::make_unique<State>()) {
  state_->settings = std::move(settings);
  curl_easy_setopt(curl, CURLOPT_SSL_CTX_FUNCTION, &OnSslContext);
  curl_easy_setopt(curl, CURLOPT_SSL_CTX_DATA, state_.get());
}

CurlTls::~CurlTls() = default;

void CurlTls::BeginTransfer() {
  *state_->notes = TlsHandshakeNotes{};
  state_->setupError.clear();
}

const std::string& CurlTls::SetupError() const {
  return state_->setupError;
}

void CurlTls::NoteFailure(const std::string&) {
  // OpenSSL's callbacks have noted all there is while the handshake went on.
}

const TlsHandshakeNotes& CurlTls::Notes() const {
  return *state_->notes;
}

}  // namespace zelvor::platform
