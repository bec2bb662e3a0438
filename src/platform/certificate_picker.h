#pragma once
// Lets the person choose a client certificate when none matches the configured selectors.

#include <cstddef>
#include <optional>
#include <vector>

#include "platform/certificate_description.h"

namespace zelvor::platform {

class CertificatePicker {
 public:
  virtual ~CertificatePicker() = default;

  // Shows the candidates (never an empty list) and returns the index of the chosen one, or
  // nullopt when the person chose none. Runs on the thread that makes the HTTPS call.
  virtual std::optional<std::size_t> PickCertificate(
      const std::vector<CertificateDescription>& candidates) = 0;
};

}  // namespace zelvor::platform
