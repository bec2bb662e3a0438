#pragma once
// Which personal certificate of the certificate folder the client presents when a server asks
// for one.

#include <openssl/ssl.h>

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "platform/certificate_folder.h"
#include "platform/certificate_selectors.h"

namespace zelvor::platform {

// The personal certificates (indices in store order) whose chain in the store leads to one of the
// issuers the server accepts; all of them when the server names none.
std::vector<std::size_t> CandidatesForIssuers(const CertificateStore& store,
                                              const STACK_OF(X509_NAME) * acceptedIssuers);

// The whole choice: the configured certificate among the candidates, else the one the picker
// returns, else none. Gives an index into store.personal.
std::optional<std::size_t> ChooseClientCertificate(const CertificateStore& store,
                                                   const STACK_OF(X509_NAME) * acceptedIssuers,
                                                   const CertificateSelectors& selectors,
                                                   CertificatePicker* picker);

}  // namespace zelvor::platform
