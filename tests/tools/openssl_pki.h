#pragma once
// Certificates for the tests, made at test time with the openssl command line in a fresh
// temporary folder that goes away with the object. No key is kept in the repository.

#include <string>

namespace zelvor::test {

struct PkiFiles {
  std::string caCertificate;      // the issuer the register accepts client certificates from
  std::string serverCertificate;  // for 127.0.0.1 and localhost, issued by that issuer
  std::string serverKey;
  std::string clientCertificate;  // issued by the accepted issuer
  std::string clientKey;
  std::string strangerCertificate;  // issued by another issuer
  std::string strangerKey;
};

class OpenSslPki {
 public:
  OpenSslPki();  // throws std::runtime_error when openssl fails
  ~OpenSslPki();
  OpenSslPki(const OpenSslPki&) = delete;
  OpenSslPki& operator=(const OpenSslPki&) = delete;

  const PkiFiles& Files() const { return files_; }

 private:
  std::string dir_;
  PkiFiles files_;
};

}  // namespace zelvor::test
