#include "platform/certificate_store.h"
#include "platform/curl_tls.h"
#include "platform/windows_certificates.h"

namespace zelvor::platform {

struct CurlTls::State {
  CURL* curl = nullptr;
  ClientTlsSettings settings;
  TlsHandshakeNotes notes;
  std::string setupError;  // Schannel has no callback inside libcurl that could fail
  bool prepared = false;
};

namespace {

// With an issuer list of its own, libcurl's Schannel trusts only that list, so it holds the
// Windows trusted roots and the store folder's extra issuers together.
std::string TrustedIssuersPem(const std::filesystem::path& storeFolder) {
  std::string pem;
  const StoreHandle roots = OpenUserStore(L"ROOT");
  for (const CertificateHandle& root : CertificatesOf(roots.get())) pem += CertificatePem(*root);
  return pem + FolderCertificatesPem(IssuersFolder(ResolveStoreFolder(storeFolder)));
}

bool Contains(const std::string& text, const char* part) {
  return text.find(part) != std::string::npos;
}

}  // namespace

CurlTls::CurlTls(CURL* curl, ClientTlsSettings settings) : state_(std::make_unique<State>()) {
  state_->curl = curl;
  state_->settings = std::move(settings);
  // A private issuer often names no revocation list; a revoked certificate is still refused.
  curl_easy_setopt(curl, CURLOPT_SSL_OPTIONS, static_cast<long>(CURLSSLOPT_REVOKE_BEST_EFFORT));
}

CurlTls::~CurlTls() = default;

// The store is read and the certificate chosen before the first call: Schannel takes the
// certificate by name and presents it when the server asks.
void CurlTls::BeginTransfer() {
  State& state = *state_;
  const std::optional<CertificateDescription> offered = state.notes.offered;
  state.notes = TlsHandshakeNotes{};
  state.notes.offered = offered;
  if (state.prepared) return;

  CheckStoreFolder(state.settings.storeFolder);
  const std::string issuers = TrustedIssuersPem(state.settings.storeFolder);
  curl_blob blob{const_cast<char*>(issuers.data()), issuers.size(), CURL_BLOB_COPY};
  curl_easy_setopt(state.curl, CURLOPT_CAINFO_BLOB, &blob);

  const StoreHandle personal = OpenUserStore(L"MY");
  std::vector<CertificateHandle> withKeys;
  std::vector<CertificateDescription> candidates;
  for (CertificateHandle& certificate : CertificatesOf(personal.get())) {
    if (!HasPrivateKey(*certificate)) continue;
    candidates.push_back(DescribeContext(*certificate));
    withKeys.push_back(std::move(certificate));
  }
  const std::optional<std::size_t> chosen =
      ChooseAmong(candidates, state.settings.selectors, state.settings.picker.get());
  if (chosen) {
    const std::string name = "CurrentUser\\MY\\" + Thumbprint(*withKeys[*chosen]);
    curl_easy_setopt(state.curl, CURLOPT_SSLCERT, name.c_str());
    state.notes.offered = candidates[*chosen];
  }
  state.prepared = true;
}

const std::string& CurlTls::SetupError() const {
  return state_->setupError;
}

// Schannel reports the verification's verdict only in libcurl's text.
void CurlTls::NoteFailure(const std::string& libraryText) {
  TlsHandshakeNotes& notes = state_->notes;
  if (Contains(libraryText, "CERT_TRUST_IS_UNTRUSTED_ROOT") ||
      Contains(libraryText, "CERT_TRUST_IS_PARTIAL_CHAIN") ||
      Contains(libraryText, "SEC_E_UNTRUSTED_ROOT")) {
    notes.chainProblem = ServerCertificateProblem::UnknownIssuer;
  } else if (Contains(libraryText, "CERT_TRUST_IS_NOT_TIME_VALID") ||
             Contains(libraryText, "SEC_E_CERT_EXPIRED")) {
    notes.chainProblem = ServerCertificateProblem::Expired;
  }
}

const TlsHandshakeNotes& CurlTls::Notes() const {
  return state_->notes;
}

}  // namespace zelvor::platform
