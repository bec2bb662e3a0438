#pragma once
// Self-signed certificates made on the fly for TLS tests on 127.0.0.1.

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509v3.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <stdexcept>

namespace zelvor::test {

struct X509Free {
  void operator()(X509* cert) const { X509_free(cert); }
};
struct KeyFree {
  void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};

// A self-signed certificate for 127.0.0.1, valid for a day.
struct SelfSigned {
  std::unique_ptr<EVP_PKEY, KeyFree> key{EVP_EC_gen("P-256")};
  std::unique_ptr<X509, X509Free> cert{X509_new()};

  SelfSigned(const char* commonName, long serial) {
    X509* c = cert.get();
    X509_set_version(c, 2);
    ASN1_INTEGER_set(X509_get_serialNumber(c), serial);
    X509_gmtime_adj(X509_getm_notBefore(c), -3600);
    X509_gmtime_adj(X509_getm_notAfter(c), 24 * 3600);
    X509_set_pubkey(c, key.get());
    X509_NAME* name = X509_get_subject_name(c);
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                               reinterpret_cast<const unsigned char*>(commonName), -1, -1, 0);
    X509_set_issuer_name(c, name);
    X509V3_CTX ctx;
    X509V3_set_ctx_nodb(&ctx);
    X509V3_set_ctx(&ctx, c, c, nullptr, nullptr, 0);
    X509_EXTENSION* san = X509V3_EXT_conf_nid(nullptr, &ctx, NID_subject_alt_name, "IP:127.0.0.1");
    X509_add_ext(c, san, -1);
    X509_EXTENSION_free(san);
    X509_sign(c, key.get(), EVP_sha256());
  }

  // Writes the certificate, and the key when asked, as PEM with the given permissions.
  void Write(const std::filesystem::path& file, bool withKey, std::filesystem::perms perms) const {
    std::filesystem::create_directories(file.parent_path());
    FILE* out = std::fopen(file.c_str(), "w");
    if (out == nullptr) throw std::runtime_error("cannot write " + file.string());
    PEM_write_X509(out, cert.get());
    if (withKey) PEM_write_PrivateKey(out, key.get(), nullptr, nullptr, 0, nullptr, nullptr);
    std::fclose(out);
    std::filesystem::permissions(file, perms);
  }
};

}  // namespace zelvor::test
