#pragma once
// The description of an OpenSSL certificate, as the certificate folder's code reads them.

#include <openssl/x509.h>

#include <string>

#include "platform/certificate_description.h"

namespace zelvor::platform {

CertificateDescription DescribeCertificate(const X509& certificate);

// The values of a name's attributes in order, joined by ";".
std::string NameValues(const X509_NAME& name);

}  // namespace zelvor::platform
