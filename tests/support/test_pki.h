#pragma once
// Certificates made while the tests run, so that no private key is ever kept in the repository.
//
//   TestPki pki;                                   // root, "GITD SUB03 CA" issuer, server
//   TestCertificate client = pki.MakeClient({{"C", "PL"}, {"CN", "KREPTD"}}, "0A1B2C");
//   AddPersonalCertificate(store, "kreptd", client, {&pki.gitdSub03});
//   WriteCertificatesPem(dir / "server.crt", {&pki.server});  // for an HTTPS test server
//   SimulatorPki files;                            // PEM files for register-sim and its clients
//
// Keys are EC P-256 (quick to make). A certificate is valid from an hour ago for a year unless
// its options say otherwise.

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "platform/openssl_handles.h"
#include "support/scratch_folder.h"

namespace zelvor::test {

// A distinguished name as attribute type and value pairs in the certificate's order, e.g.
// {{"DC", "local"}, {"DC", "gitd"}, {"CN", "GITD SUB03 CA"}}. Types are OpenSSL's short names.
using NameAttributes = std::vector<std::pair<std::string, std::string>>;

struct TestCertificate {
  platform::X509Ptr certificate;
  platform::EvpPkeyPtr key;

  X509* Get() const { return certificate.get(); }
};

struct CertificateOptions {
  NameAttributes subject{};
  std::string serialHex{};           // hexadecimal; empty: a random 16-byte serial number
  bool isCa = false;                 // may issue certificates
  std::vector<std::string> hosts{};  // server names: DNS names and IP addresses (subjectAltName)
  bool clientAuth = false;           // extended key usage: client authentication
  std::chrono::seconds notBefore = -std::chrono::hours(1);  // from now
  std::chrono::seconds notAfter = std::chrono::days(365);   // from now
};

// A self-signed certificate authority.
TestCertificate MakeRootCa(const NameAttributes& subject);

// A self-signed certificate: an authority when options.isCa, else one that is its own trust
// anchor, as a pinned server or client certificate is.
TestCertificate MakeSelfSigned(const CertificateOptions& options);

// A certificate for a new key, signed by the issuer.
TestCertificate MakeCertificate(const TestCertificate& issuer, const CertificateOptions& options);

// The usual set: a root, an issuer of client certificates under it whose issuer string reads
// "local;gitd;GITD SUB03 CA", and a server certificate for localhost, 127.0.0.1 and ::1.
struct TestPki {
  TestPki();

  TestCertificate root;       // CN=Zelvor Test Root CA
  TestCertificate gitdSub03;  // DC=local, DC=gitd, CN=GITD SUB03 CA; issued by root
  TestCertificate server;     // CN=localhost; issued by root

  // A client certificate issued by gitdSub03.
  TestCertificate MakeClient(const NameAttributes& subject, const std::string& serialHex) const;
};

// PEM files. WriteKeyPem gives the file the mode (the umask does not apply).
void WriteCertificatesPem(const std::filesystem::path& file,
                          const std::vector<const TestCertificate*>& certificates);
void WriteKeyPem(const std::filesystem::path& file, const EVP_PKEY& key, mode_t mode = 0600);
// The certificate followed by its key in one file, as a personal store's .pem may hold them.
void WriteCertificateWithKeyPem(const std::filesystem::path& file,
                                const TestCertificate& certificate, mode_t mode = 0600);

enum class Pkcs12Encryption {
  Modern,  // AES-256 with PBKDF2, as OpenSSL 3 writes by default
  Legacy,  // RC2-40 and 3DES with SHA-1, as older Windows exports are
};

// A PKCS#12 file holding the certificate, its key and the chain, protected by the password.
// Mode 0600.
void WritePkcs12(const std::filesystem::path& file, const TestCertificate& certificate,
                 const std::vector<const TestCertificate*>& chain, const std::string& password,
                 Pkcs12Encryption encryption = Pkcs12Encryption::Modern);

// A certificate store folder as the program reads it (see platform/certificate_store.h):
// <store>/personal/<name>.crt (certificate, then chain) with <name>.key, and <store>/issuers/.
void AddPersonalCertificate(const std::filesystem::path& store, const std::string& name,
                            const TestCertificate& certificate,
                            const std::vector<const TestCertificate*>& chain);
void AddTrustedIssuer(const std::filesystem::path& store, const std::string& name,
                      const TestCertificate& issuer);

// The files register-sim and its clients are started with.
struct PkiFiles {
  std::string caCertificate;      // the issuer the register accepts client certificates from
  std::string serverCertificate;  // for 127.0.0.1 and localhost, issued by that issuer
  std::string serverKey;
  std::string clientCertificate;  // issued by the accepted issuer
  std::string clientKey;
  std::string strangerCertificate;  // issued by another issuer
  std::string strangerKey;
};

// A simulated register's certificates as PEM files in a scratch folder that goes with the
// object, each valid from now for two days. The issuer is "L=local, O=gitd, CN=GITD SUB03 CA",
// the client "C=PL, O=Zelvor, CN=KREPTD"; the stranger has the client's name and another issuer.
class SimulatorPki {
 public:
  SimulatorPki();

  const PkiFiles& Files() const { return files_; }
  const TestCertificate& Ca() const { return ca_; }
  const TestCertificate& Client() const { return client_; }

 private:
  ScratchFolder folder_;
  TestCertificate ca_, server_, client_, otherCa_, stranger_;
  PkiFiles files_;
};

}  // namespace zelvor::test
