#include "support/test_pki.h"

#include <arpa/inet.h>
#include <openssl/bn.h>
#include <openssl/pem.h>
#include <openssl/pkcs12.h>
#include <openssl/provider.h>
#include <openssl/rand.h>
#include <openssl/x509v3.h>
#include <sys/stat.h>

#include <fstream>
#include <memory>
#include <stdexcept>

#include "platform/certificate_folder.h"

namespace zelvor::test {
namespace {

using platform::BioPtr;
using platform::EvpPkeyPtr;
using platform::X509Ptr;

void Check(bool ok, const char* what) {
  if (!ok) throw std::runtime_error(std::string("test PKI: ") + what + " failed");
}

EvpPkeyPtr NewKey() {
  EvpPkeyPtr key(EVP_EC_gen("P-256"));
  Check(key != nullptr, "key generation");
  return key;
}

void SetSerial(X509* certificate, std::string hex) {
  if (hex.empty()) {
    unsigned char bytes[16];
    Check(RAND_bytes(bytes, sizeof bytes) == 1, "random serial");
    bytes[0] &= 0x7F;
    static constexpr char kDigits[] = "0123456789ABCDEF";
    for (unsigned char b : bytes) {
      hex.push_back(kDigits[b >> 4]);
      hex.push_back(kDigits[b & 0x0F]);
    }
  }
  BIGNUM* number = nullptr;
  Check(BN_hex2bn(&number, hex.c_str()) > 0, "serial number");
  ASN1_INTEGER* serial = BN_to_ASN1_INTEGER(number, nullptr);
  BN_free(number);
  Check(serial != nullptr && X509_set_serialNumber(certificate, serial) == 1, "serial number");
  ASN1_INTEGER_free(serial);
}

void SetSubject(X509* certificate, const NameAttributes& attributes) {
  X509_NAME* name = X509_get_subject_name(certificate);
  for (const auto& [type, value] : attributes) {
    Check(X509_NAME_add_entry_by_txt(name, type.c_str(), MBSTRING_UTF8,
                                     reinterpret_cast<const unsigned char*>(value.c_str()), -1, -1,
                                     0) == 1,
          "name attribute");
  }
}

void AddExtension(X509* certificate, X509* issuer, int nid, const std::string& value) {
  X509V3_CTX context;
  X509V3_set_ctx_nodb(&context);
  X509V3_set_ctx(&context, issuer, certificate, nullptr, nullptr, 0);
  X509_EXTENSION* extension = X509V3_EXT_conf_nid(nullptr, &context, nid, value.c_str());
  Check(extension != nullptr && X509_add_ext(certificate, extension, -1) == 1, "extension");
  X509_EXTENSION_free(extension);
}

std::string AlternativeNames(const std::vector<std::string>& hosts) {
  std::string names;
  for (const std::string& host : hosts) {
    if (!names.empty()) names += ',';
    unsigned char buffer[16];
    const bool address = ::inet_pton(AF_INET, host.c_str(), buffer) == 1 ||
                         ::inet_pton(AF_INET6, host.c_str(), buffer) == 1;
    names += (address ? "IP:" : "DNS:") + host;
  }
  return names;
}

// Signs with the issuer's key; a null issuer makes the certificate self-signed.
TestCertificate Make(const TestCertificate* issuer, const CertificateOptions& options) {
  TestCertificate made{X509Ptr(X509_new()), NewKey()};
  X509* certificate = made.certificate.get();
  Check(X509_set_version(certificate, X509_VERSION_3) == 1, "version");
  SetSerial(certificate, options.serialHex);
  SetSubject(certificate, options.subject);
  X509* signer = issuer ? issuer->Get() : certificate;
  Check(X509_set_issuer_name(certificate, X509_get_subject_name(signer)) == 1, "issuer name");
  X509_gmtime_adj(X509_getm_notBefore(certificate), static_cast<long>(options.notBefore.count()));
  X509_gmtime_adj(X509_getm_notAfter(certificate), static_cast<long>(options.notAfter.count()));
  Check(X509_set_pubkey(certificate, made.key.get()) == 1, "public key");

  AddExtension(certificate, signer, NID_basic_constraints,
               options.isCa ? "critical,CA:TRUE" : "critical,CA:FALSE");
  AddExtension(certificate, signer, NID_key_usage,
               options.isCa ? "critical,keyCertSign,cRLSign" : "critical,digitalSignature");
  AddExtension(certificate, signer, NID_subject_key_identifier, "hash");
  if (issuer) AddExtension(certificate, signer, NID_authority_key_identifier, "keyid:always");
  if (!options.hosts.empty()) {
    AddExtension(certificate, signer, NID_subject_alt_name, AlternativeNames(options.hosts));
    AddExtension(certificate, signer, NID_ext_key_usage, "serverAuth");
  } else if (options.clientAuth) {
    AddExtension(certificate, signer, NID_ext_key_usage, "clientAuth");
  }
  EVP_PKEY* signingKey = issuer ? issuer->key.get() : made.key.get();
  Check(X509_sign(certificate, signingKey, EVP_sha256()) > 0, "signing");
  return made;
}

void WriteFile(const std::filesystem::path& file, const std::string& bytes, mode_t mode) {
  std::filesystem::create_directories(file.parent_path());
  {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << bytes;
    Check(out.good(), "writing a file");
  }
  Check(::chmod(file.c_str(), mode) == 0, "chmod");
}

std::string MemoryContents(BIO* bio) {
  char* data = nullptr;
  const long length = BIO_get_mem_data(bio, &data);
  return std::string(data, static_cast<std::size_t>(length));
}

void AppendKeyPem(BIO* bio, const EVP_PKEY& key) {
  Check(PEM_write_bio_PrivateKey(bio, &key, nullptr, nullptr, 0, nullptr, nullptr) == 1, "PEM key");
}

}  // namespace

TestCertificate MakeRootCa(const NameAttributes& subject) {
  return Make(nullptr, {.subject = subject, .isCa = true});
}

TestCertificate MakeSelfSigned(const CertificateOptions& options) {
  return Make(nullptr, options);
}

TestCertificate MakeCertificate(const TestCertificate& issuer, const CertificateOptions& options) {
  return Make(&issuer, options);
}

TestPki::TestPki()
    : root(MakeRootCa({{"O", "Zelvor Test"}, {"CN", "Zelvor Test Root CA"}})),
      gitdSub03(MakeCertificate(
          root,
          {.subject = {{"DC", "local"}, {"DC", "gitd"}, {"CN", "GITD SUB03 CA"}}, .isCa = true})),
      server(MakeCertificate(
          root, {.subject = {{"CN", "localhost"}}, .hosts = {"localhost", "127.0.0.1", "::1"}})) {}

TestCertificate TestPki::MakeClient(const NameAttributes& subject,
                                    const std::string& serialHex) const {
  return MakeCertificate(gitdSub03,
                         {.subject = subject, .serialHex = serialHex, .clientAuth = true});
}

void WriteCertificatesPem(const std::filesystem::path& file,
                          const std::vector<const TestCertificate*>& certificates) {
  BioPtr bio(BIO_new(BIO_s_mem()));
  for (const TestCertificate* certificate : certificates) {
    Check(PEM_write_bio_X509(bio.get(), certificate->Get()) == 1, "PEM certificate");
  }
  WriteFile(file, MemoryContents(bio.get()), 0644);
}

void WriteKeyPem(const std::filesystem::path& file, const EVP_PKEY& key, mode_t mode) {
  BioPtr bio(BIO_new(BIO_s_mem()));
  AppendKeyPem(bio.get(), key);
  WriteFile(file, MemoryContents(bio.get()), mode);
}

void WriteCertificateWithKeyPem(const std::filesystem::path& file,
                                const TestCertificate& certificate, mode_t mode) {
  BioPtr bio(BIO_new(BIO_s_mem()));
  Check(PEM_write_bio_X509(bio.get(), certificate.Get()) == 1, "PEM certificate");
  AppendKeyPem(bio.get(), *certificate.key);
  WriteFile(file, MemoryContents(bio.get()), mode);
}

void WritePkcs12(const std::filesystem::path& file, const TestCertificate& certificate,
                 const std::vector<const TestCertificate*>& chain, const std::string& password,
                 Pkcs12Encryption encryption) {
  platform::X509StackPtr stack(sk_X509_new_null());
  for (const TestCertificate* link : chain) {
    X509_up_ref(link->Get());
    sk_X509_push(stack.get(), link->Get());
  }
  // The legacy algorithms get a library context of their own, which outlives the file's object,
  // so that they stay out of the process's default context that the code under test uses.
  using LibraryContext =
      std::unique_ptr<OSSL_LIB_CTX, decltype([](OSSL_LIB_CTX* c) { OSSL_LIB_CTX_free(c); })>;
  using Provider =
      std::unique_ptr<OSSL_PROVIDER, decltype([](OSSL_PROVIDER* p) { OSSL_PROVIDER_unload(p); })>;
  LibraryContext context;
  Provider defaults, legacy;
  platform::Pkcs12Ptr p12;
  if (encryption == Pkcs12Encryption::Modern) {
    p12.reset(PKCS12_create(password.c_str(), "test certificate", certificate.key.get(),
                            certificate.Get(), stack.get(), 0, 0, 0, 0, 0));
  } else {
    context.reset(OSSL_LIB_CTX_new());
    defaults.reset(OSSL_PROVIDER_load(context.get(), "default"));
    legacy.reset(OSSL_PROVIDER_load(context.get(), "legacy"));
    Check(defaults && legacy, "loading the legacy provider");
    p12.reset(PKCS12_create_ex(password.c_str(), "test certificate", certificate.key.get(),
                               certificate.Get(), stack.get(),
                               NID_pbe_WithSHA1And3_Key_TripleDES_CBC,
                               NID_pbe_WithSHA1And40BitRC2_CBC, 0, 0, 0, context.get(), nullptr));
  }
  Check(p12 != nullptr, "PKCS#12");
  BioPtr bio(BIO_new(BIO_s_mem()));
  Check(i2d_PKCS12_bio(bio.get(), p12.get()) == 1, "PKCS#12 encoding");
  WriteFile(file, MemoryContents(bio.get()), 0600);
}

void AddPersonalCertificate(const std::filesystem::path& store, const std::string& name,
                            const TestCertificate& certificate,
                            const std::vector<const TestCertificate*>& chain) {
  std::vector<const TestCertificate*> all{&certificate};
  all.insert(all.end(), chain.begin(), chain.end());
  WriteCertificatesPem(platform::PersonalFolder(store) / (name + ".crt"), all);
  WriteKeyPem(platform::PersonalFolder(store) / (name + ".key"), *certificate.key);
}

void AddTrustedIssuer(const std::filesystem::path& store, const std::string& name,
                      const TestCertificate& issuer) {
  WriteCertificatesPem(platform::IssuersFolder(store) / (name + ".crt"), {&issuer});
}

namespace {

// The simulators' certificates are valid from the moment they are made, for two days.
constexpr std::chrono::seconds kNow{0};
constexpr std::chrono::seconds kTwoDays = std::chrono::days(2);

const NameAttributes kKreptd = {{"C", "PL"}, {"O", "Zelvor"}, {"CN", "KREPTD"}};

}  // namespace

SimulatorPki::SimulatorPki()
    : ca_(MakeSelfSigned({.subject = {{"L", "local"}, {"O", "gitd"}, {"CN", "GITD SUB03 CA"}},
                          .isCa = true,
                          .notBefore = kNow,
                          .notAfter = kTwoDays})),
      server_(MakeCertificate(ca_, {.subject = {{"CN", "127.0.0.1"}},
                                    .hosts = {"127.0.0.1", "localhost"},
                                    .notBefore = kNow,
                                    .notAfter = kTwoDays})),
      client_(MakeCertificate(
          ca_, {.subject = kKreptd, .clientAuth = true, .notBefore = kNow, .notAfter = kTwoDays})),
      otherCa_(MakeSelfSigned({.subject = {{"O", "Obcy Urząd"}, {"CN", "Obce CA"}},
                               .isCa = true,
                               .notBefore = kNow,
                               .notAfter = kTwoDays})),
      stranger_(MakeCertificate(
          otherCa_,
          {.subject = kKreptd, .clientAuth = true, .notBefore = kNow, .notAfter = kTwoDays})) {
  const auto write = [this](const std::string& name, const TestCertificate& certificate) {
    const std::string file = folder_.File(name + ".pem");
    WriteCertificatesPem(file, {&certificate});
    return file;
  };
  const auto writeKey = [this](const std::string& name, const TestCertificate& certificate) {
    const std::string file = folder_.File(name + ".key");
    WriteKeyPem(file, *certificate.key);
    return file;
  };
  files_ = {write("ca", ca_),
            write("server", server_),
            writeKey("server", server_),
            write("client", client_),
            writeKey("client", client_),
            write("stranger", stranger_),
            writeKey("stranger", stranger_)};
}

}  // namespace zelvor::test
