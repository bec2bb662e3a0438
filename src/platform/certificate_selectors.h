#pragma once
// Which of the personal certificates the client presents: the configured one, else the person's
// choice.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "platform/certificate_description.h"
#include "platform/certificate_picker.h"

namespace zelvor::platform {

// Each non-empty selector must equal the candidate's string exactly (letter case counts).
struct CertificateSelectors {
  std::string displayName{}, subject{}, issuer{}, serialNumber{};
};

// The first candidate that every non-empty selector matches; nullopt when all selectors are empty
// or none matches.
std::optional<std::size_t> FindSelectedCertificate(
    const std::vector<CertificateDescription>& candidates, const CertificateSelectors& selectors);

// The configured certificate among the candidates, else the one the picker returns (may be null),
// else none. Gives an index into candidates.
std::optional<std::size_t> ChooseAmong(const std::vector<CertificateDescription>& candidates,
                                       const CertificateSelectors& selectors,
                                       CertificatePicker* picker);

}  // namespace zelvor::platform
