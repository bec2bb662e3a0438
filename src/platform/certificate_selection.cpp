#include "platform/certificate_selection.h"

#include <openssl/x509v3.h>

#include "platform/x509_description.h"

namespace zelvor::platform {
namespace {

// Chains are short; the bound only stops a loop of certificates that name each other.
constexpr int kMaxChainLength = 16;

bool NamesIssuer(const STACK_OF(X509_NAME) * names, const X509_NAME* issuer) {
  for (int i = 0; i < sk_X509_NAME_num(names); ++i) {
    if (X509_NAME_cmp(sk_X509_NAME_value(names, i), issuer) == 0) return true;
  }
  return false;
}

X509* FindIssuer(const CertificateStore& store, X509* certificate) {
  auto issued = [&](const X509Ptr& candidate) {
    return X509_check_issued(candidate.get(), certificate) == X509_V_OK;
  };
  for (const PersonalCertificate& entry : store.personal) {
    for (const X509Ptr& link : entry.chain) {
      if (issued(link)) return link.get();
    }
    if (entry.certificate.get() != certificate && issued(entry.certificate)) {
      return entry.certificate.get();
    }
  }
  for (const X509Ptr& issuer : store.issuers) {
    if (issued(issuer)) return issuer.get();
  }
  return nullptr;
}

bool LeadsToAcceptedIssuer(const CertificateStore& store, X509* certificate,
                           const STACK_OF(X509_NAME) * acceptedIssuers) {
  for (int depth = 0; certificate != nullptr && depth < kMaxChainLength; ++depth) {
    if (NamesIssuer(acceptedIssuers, X509_get_issuer_name(certificate))) return true;
    if (X509_check_issued(certificate, certificate) == X509_V_OK) return false;  // a root
    certificate = FindIssuer(store, certificate);
  }
  return false;
}

}  // namespace

std::vector<std::size_t> CandidatesForIssuers(const CertificateStore& store,
                                              const STACK_OF(X509_NAME) * acceptedIssuers) {
  std::vector<std::size_t> candidates;
  const bool anyIssuer = acceptedIssuers == nullptr || sk_X509_NAME_num(acceptedIssuers) == 0;
  for (std::size_t i = 0; i < store.personal.size(); ++i) {
    if (anyIssuer ||
        LeadsToAcceptedIssuer(store, store.personal[i].certificate.get(), acceptedIssuers)) {
      candidates.push_back(i);
    }
  }
  return candidates;
}

std::optional<std::size_t> ChooseClientCertificate(const CertificateStore& store,
                                                   const STACK_OF(X509_NAME) * acceptedIssuers,
                                                   const CertificateSelectors& selectors,
                                                   CertificatePicker* picker) {
  const std::vector<std::size_t> candidates = CandidatesForIssuers(store, acceptedIssuers);
  if (candidates.empty()) return std::nullopt;
  std::vector<CertificateDescription> descriptions;
  for (std::size_t index : candidates) {
    descriptions.push_back(DescribeCertificate(*store.personal[index].certificate));
  }
  const std::optional<std::size_t> chosen = ChooseAmong(descriptions, selectors, picker);
  if (!chosen) return std::nullopt;
  return candidates[*chosen];
}

}  // namespace zelvor::platform
