#include "platform/tls_client.h"

#include <openssl/err.h>

#include "platform/certificate_store.h"

namespace zelvor::platform {
namespace {

void FreeState(void*, void* state, CRYPTO_EX_DATA*, int, long, void*);

int StateIndex() {
  static const int index = SSL_CTX_get_ex_new_index(0, nullptr, nullptr, nullptr, FreeState);
  return index;
}

// What the client-certificate callback needs; owned by the SSL_CTX through its ex_data.
struct ClientTlsState {
  ClientTlsSettings settings;
  CertificateStore store;
  std::shared_ptr<TlsHandshakeNotes> notes;  // may be null
};

void FreeState(void*, void* state, CRYPTO_EX_DATA*, int, long, void*) {
  std::unique_ptr<ClientTlsState> owned(static_cast<ClientTlsState*>(state));
}

const ClientTlsState* StateOf(const SSL* ssl) {
  return static_cast<const ClientTlsState*>(
      SSL_CTX_get_ex_data(SSL_get_SSL_CTX(ssl), StateIndex()));
}

// OpenSSL calls this when the server asks for a client certificate; by then the issuers the server
// accepts are known. Returning 0 goes on without a certificate.
int ChooseCertificate(SSL* ssl, X509** certificate, EVP_PKEY** key) {
  try {
    const ClientTlsState* state = StateOf(ssl);
    if (state == nullptr) return 0;
    if (state->notes) state->notes->certificateRequested = true;
    const std::optional<std::size_t> chosen =
        ChooseClientCertificate(state->store, SSL_get_client_CA_list(ssl),
                                state->settings.selectors, state->settings.picker.get());
    if (!chosen) return 0;
    const PersonalCertificate& entry = state->store.personal[*chosen];
    if (state->notes) state->notes->offered = DescribeCertificate(*entry.certificate);
    *certificate = ShareCertificate(entry.certificate.get()).release();
    *key = ShareKey(entry.privateKey.get()).release();
    return 1;
  } catch (...) {
    // No exception may cross OpenSSL; a failed choice is no choice.
    return 0;
  }
}

// Keeps the alert a server ends the connection with: after a TLS 1.3 handshake it may be the
// only sign that the client certificate was refused.
void NoteAlert(const SSL* ssl, int where, int value) {
  if ((where & SSL_CB_READ_ALERT) == 0) return;
  const ClientTlsState* state = StateOf(ssl);
  if (state == nullptr || !state->notes) return;
  state->notes->alert = value & 0xff;
  // OpenSSL 3.0 has no text for TLS 1.3's "certificate required".
  state->notes->alertText = state->notes->alert == SSL_AD_CERTIFICATE_REQUIRED
                                ? "certificate required"
                                : SSL_alert_desc_string_long(value);
}

// The certificates OpenSSL may send after the chosen one so that the server can build its chain.
X509StorePtr ChainStore(const CertificateStore& store) {
  X509StorePtr chainStore(X509_STORE_new());
  for (const PersonalCertificate& entry : store.personal) {
    for (const X509Ptr& link : entry.chain) X509_STORE_add_cert(chainStore.get(), link.get());
  }
  for (const X509Ptr& issuer : store.issuers) X509_STORE_add_cert(chainStore.get(), issuer.get());
  return chainStore;
}

}  // namespace

bool TlsHandshakeNotes::CertificateAlert() const {
  switch (alert) {
    case SSL_AD_BAD_CERTIFICATE:
    case SSL_AD_UNSUPPORTED_CERTIFICATE:
    case SSL_AD_CERTIFICATE_REVOKED:
    case SSL_AD_CERTIFICATE_EXPIRED:
    case SSL_AD_CERTIFICATE_UNKNOWN:
    case SSL_AD_UNKNOWN_CA:
    case SSL_AD_ACCESS_DENIED:
    case SSL_AD_HANDSHAKE_FAILURE:
    case SSL_AD_CERTIFICATE_REQUIRED:
      return true;
    default:
      return false;
  }
}

void ConfigureSslContext(SSL_CTX* ctx, const ClientTlsSettings& settings,
                         std::shared_ptr<TlsHandshakeNotes> notes) {
  CheckStoreFolder(settings.storeFolder);
  auto state = std::make_unique<ClientTlsState>(
      ClientTlsState{settings, LoadCertificateStore(settings.storeFolder), std::move(notes)});

  X509_STORE* verification = SSL_CTX_get_cert_store(ctx);
  for (const X509Ptr& issuer : state->store.issuers) {
    X509_STORE_add_cert(verification, issuer.get());
  }
  X509StorePtr chainStore = ChainStore(state->store);
  SSL_CTX_set1_chain_cert_store(ctx, chainStore.get());
  ERR_clear_error();  // an issuer already present is no failure

  std::unique_ptr<ClientTlsState> previous(
      static_cast<ClientTlsState*>(SSL_CTX_get_ex_data(ctx, StateIndex())));
  if (SSL_CTX_set_ex_data(ctx, StateIndex(), state.get()) != 1) {
    previous.release();  // still owned by ctx
    throw CertificateStoreError("Nie można przygotować połączenia szyfrowanego. (" +
                                TakeOpenSslError() + ")");
  }
  state.release();  // ctx owns it now; FreeState ends it with ctx
  SSL_CTX_set_client_cert_cb(ctx, ChooseCertificate);
  SSL_CTX_set_info_callback(ctx, NoteAlert);
}

}  // namespace zelvor::platform
