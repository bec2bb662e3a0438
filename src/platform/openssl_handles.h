#pragma once
// Owning handles for the OpenSSL objects the certificate code passes around.

#include <openssl/bio.h>
#include <openssl/evp.h>
#include <openssl/pkcs12.h>
#include <openssl/x509.h>

#include <memory>
#include <string>
#include <vector>

namespace zelvor::platform {

struct OpenSslDeleter {
  void operator()(X509* p) const { X509_free(p); }
  void operator()(EVP_PKEY* p) const { EVP_PKEY_free(p); }
  void operator()(BIO* p) const { BIO_free_all(p); }
  void operator()(PKCS12* p) const { PKCS12_free(p); }
  void operator()(X509_STORE* p) const { X509_STORE_free(p); }
  void operator()(STACK_OF(X509) * p) const { sk_X509_pop_free(p, X509_free); }
};

using X509Ptr = std::unique_ptr<X509, OpenSslDeleter>;
using EvpPkeyPtr = std::unique_ptr<EVP_PKEY, OpenSslDeleter>;
using BioPtr = std::unique_ptr<BIO, OpenSslDeleter>;
using Pkcs12Ptr = std::unique_ptr<PKCS12, OpenSslDeleter>;
using X509StorePtr = std::unique_ptr<X509_STORE, OpenSslDeleter>;
using X509StackPtr = std::unique_ptr<STACK_OF(X509), OpenSslDeleter>;

// A second owner of a certificate or key that OpenSSL reference-counts.
inline X509Ptr ShareCertificate(X509* certificate) {
  X509_up_ref(certificate);
  return X509Ptr(certificate);
}
inline EvpPkeyPtr ShareKey(EVP_PKEY* key) {
  EVP_PKEY_up_ref(key);
  return EvpPkeyPtr(key);
}

// Takes the certificates out of an OpenSSL stack into owning handles, in the stack's order.
inline std::vector<X509Ptr> TakeCertificates(X509StackPtr stack) {
  std::vector<X509Ptr> result;
  if (!stack) return result;
  while (sk_X509_num(stack.get()) > 0) result.emplace_back(sk_X509_shift(stack.get()));
  return result;
}

// The newest OpenSSL error as text, for messages; empty when the queue is empty.
std::string TakeOpenSslError();

}  // namespace zelvor::platform
