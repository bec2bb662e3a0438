#include "platform/tls_client.h"

#include <arpa/inet.h>
#include <openssl/err.h>
#include <openssl/x509v3.h>

#include "platform/certificate_folder.h"
#include "platform/certificate_selection.h"
#include "platform/x509_description.h"

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

// The DNS names and addresses of a certificate's subjectAltName, else its CN.
std::vector<std::string> NamesOf(X509& certificate) {
  std::vector<std::string> names;
  std::unique_ptr<GENERAL_NAMES, void (*)(GENERAL_NAMES*)> alternatives(
      static_cast<GENERAL_NAMES*>(
          X509_get_ext_d2i(&certificate, NID_subject_alt_name, nullptr, nullptr)),
      GENERAL_NAMES_free);
  for (int i = 0; alternatives && i < sk_GENERAL_NAME_num(alternatives.get()); ++i) {
    const GENERAL_NAME* name = sk_GENERAL_NAME_value(alternatives.get(), i);
    if (name->type == GEN_DNS) {
      const ASN1_STRING* text = name->d.dNSName;
      names.emplace_back(reinterpret_cast<const char*>(ASN1_STRING_get0_data(text)),
                         static_cast<std::size_t>(ASN1_STRING_length(text)));
    } else if (name->type == GEN_IPADD) {
      const ASN1_OCTET_STRING* address = name->d.iPAddress;
      const int length = ASN1_STRING_length(address);
      const int family = length == 4 ? AF_INET : length == 16 ? AF_INET6 : 0;
      char text[INET6_ADDRSTRLEN] = {};
      if (family != 0 &&
          ::inet_ntop(family, ASN1_STRING_get0_data(address), text, sizeof text) != nullptr) {
        names.emplace_back(text);
      }
    }
  }
  if (names.empty()) {
    const X509_NAME* subject = X509_get_subject_name(&certificate);
    const int index = X509_NAME_get_index_by_NID(subject, NID_commonName, -1);
    unsigned char* text = nullptr;
    if (index >= 0 && ASN1_STRING_to_UTF8(&text, X509_NAME_ENTRY_get_data(
                                                     X509_NAME_get_entry(subject, index))) >= 0) {
      names.emplace_back(reinterpret_cast<const char*>(text));
      OPENSSL_free(text);
    }
  }
  return names;
}

ServerCertificateProblem ProblemOf(int verifyError) {
  switch (verifyError) {
    case X509_V_ERR_CERT_HAS_EXPIRED:
      return ServerCertificateProblem::Expired;
    case X509_V_ERR_CERT_NOT_YET_VALID:
      return ServerCertificateProblem::NotYetValid;
    case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT:
    case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT_LOCALLY:
    case X509_V_ERR_UNABLE_TO_VERIFY_LEAF_SIGNATURE:
    case X509_V_ERR_DEPTH_ZERO_SELF_SIGNED_CERT:
    case X509_V_ERR_SELF_SIGNED_CERT_IN_CHAIN:
    case X509_V_ERR_CERT_UNTRUSTED:
      return ServerCertificateProblem::UnknownIssuer;
    default:
      return ServerCertificateProblem::Other;
  }
}

// Keeps what the verification of the server's certificate found; the verdict stays OpenSSL's.
int NoteVerification(int preverified, X509_STORE_CTX* store) {
  try {
    const auto* ssl = static_cast<const SSL*>(
        X509_STORE_CTX_get_ex_data(store, SSL_get_ex_data_X509_STORE_CTX_idx()));
    const ClientTlsState* state = ssl == nullptr ? nullptr : StateOf(ssl);
    if (state == nullptr || !state->notes) return preverified;
    TlsHandshakeNotes& notes = *state->notes;
    if (X509* leaf = X509_STORE_CTX_get0_cert(store); leaf != nullptr && notes.serverNames.empty())
      notes.serverNames = NamesOf(*leaf);
    if (preverified == 0 && !notes.chainProblem) {
      notes.chainProblem = ProblemOf(X509_STORE_CTX_get_error(store));
      if (X509* current = X509_STORE_CTX_get_current_cert(store); current != nullptr)
        notes.serverAtFault = DescribeCertificate(*current);
    }
  } catch (...) {
    // No exception may cross OpenSSL; what could not be noted is only less explained.
  }
  return preverified;
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
  SSL_CTX_set_verify(ctx, SSL_CTX_get_verify_mode(ctx), NoteVerification);
}

}  // namespace zelvor::platform
