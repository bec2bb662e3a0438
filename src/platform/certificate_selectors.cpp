#include "platform/certificate_selectors.h"

namespace zelvor::platform {
namespace {

bool Matches(const std::string& selector, const std::string& value) {
  return selector.empty() || selector == value;
}

}  // namespace

std::optional<std::size_t> FindSelectedCertificate(
    const std::vector<CertificateDescription>& candidates, const CertificateSelectors& selectors) {
  if (selectors.displayName.empty() && selectors.subject.empty() && selectors.issuer.empty() &&
      selectors.serialNumber.empty()) {
    return std::nullopt;
  }
  for (std::size_t i = 0; i < candidates.size(); ++i) {
    const CertificateDescription& c = candidates[i];
    if (Matches(selectors.subject, c.subject) && Matches(selectors.issuer, c.issuer) &&
        Matches(selectors.serialNumber, c.serialNumber) &&
        Matches(selectors.displayName, c.displayName)) {
      return i;
    }
  }
  return std::nullopt;
}

std::optional<std::size_t> ChooseAmong(const std::vector<CertificateDescription>& candidates,
                                       const CertificateSelectors& selectors,
                                       CertificatePicker* picker) {
  if (candidates.empty()) return std::nullopt;
  std::optional<std::size_t> chosen = FindSelectedCertificate(candidates, selectors);
  if (!chosen && picker != nullptr) chosen = picker->PickCertificate(candidates);
  if (!chosen || *chosen >= candidates.size()) return std::nullopt;
  return chosen;
}

}  // namespace zelvor::platform
