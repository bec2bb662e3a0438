// TLS on the transport: the server's certificate is verified, and each new TLS context goes
// through the transport's setup hook (where the client certificate and extra issuers are set).
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <openssl/evp.h>
#include <openssl/x509v3.h>

#include "soap/http_transport.h"
#include "soap/loopback_server.h"
#include "soap/remote_errors.h"

namespace zelvor::soap {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

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

  SelfSigned() {
    X509* c = cert.get();
    X509_set_version(c, 2);
    ASN1_INTEGER_set(X509_get_serialNumber(c), 42);
    X509_gmtime_adj(X509_getm_notBefore(c), -3600);
    X509_gmtime_adj(X509_getm_notAfter(c), 24 * 3600);
    X509_set_pubkey(c, key.get());
    X509_NAME* name = X509_get_subject_name(c);
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                               reinterpret_cast<const unsigned char*>("127.0.0.1"), -1, -1, 0);
    X509_set_issuer_name(c, name);
    X509V3_CTX ctx;
    X509V3_set_ctx_nodb(&ctx);
    X509V3_set_ctx(&ctx, c, c, nullptr, nullptr, 0);
    X509_EXTENSION* san = X509V3_EXT_conf_nid(nullptr, &ctx, NID_subject_alt_name, "IP:127.0.0.1");
    X509_add_ext(c, san, -1);
    X509_EXTENSION_free(san);
    X509_sign(c, key.get(), EVP_sha256());
  }
};

class HttpsExchange : public ::testing::Test {
 protected:
  void SetUp() override {
    server_.Http().set_keep_alive_max_count(1000);
    server_.Http().Post("/svc", [this](const httplib::Request& req, httplib::Response& res) {
      ports_.insert(req.remote_port);
      res.set_content("<ok/>", "text/xml");
    });
    server_.Start();
    service_.name = "Probe";
    operation_.name = "Ask";
  }

  std::string Call(HttpSettings settings) {
    HttpTransport transport(server_.Url("/svc"), std::move(settings));
    return transport.Exchange(service_, operation_, "<r/>");
  }

  SelfSigned identity_;
  zelvor::testing::LoopbackServer server_{
      std::make_unique<httplib::SSLServer>(identity_.cert.get(), identity_.key.get()), true};
  std::set<int> ports_;
  InterfaceInfo service_;
  OperationInfo operation_;
};

TEST_F(HttpsExchange, AnUnverifiedServerEndsTheCallSayingWhy) {
  try {
    Call({});
    FAIL() << "an unverified server was accepted";
  } catch (const ETransportError& error) {
    EXPECT_THAT(error.what(), StartsWith("Error sending data: (60) The server's certificate could "
                                         "not be verified: "));
    EXPECT_THAT(error.what(), HasSubstr("self-signed certificate"));
  }
}

TEST_F(HttpsExchange, IssuersAddedByTheSetupAreTrustedAndOneConnectionServesEveryCall) {
  int contexts = 0;
  HttpSettings settings;
  settings.sslContextSetup = [&](SSL_CTX* ctx) {
    ++contexts;
    X509_STORE_add_cert(SSL_CTX_get_cert_store(ctx), identity_.cert.get());
  };
  HttpTransport transport(server_.Url("/svc"), settings);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(transport.Exchange(service_, operation_, "<r/>"), "<ok/>");
  EXPECT_EQ(contexts, 1);
  EXPECT_EQ(ports_.size(), 1u);
}

TEST_F(HttpsExchange, ASetupFailureEndsTheCallWithItsMessage) {
  HttpSettings settings;
  settings.sslContextSetup = [](SSL_CTX*) {
    throw std::runtime_error("Private key readable by others: refused");
  };
  try {
    Call(settings);
    FAIL() << "no error";
  } catch (const ETransportError& error) {
    EXPECT_THAT(error.what(), StartsWith("Error sending data: ("));
    EXPECT_THAT(error.what(), HasSubstr("Private key readable by others: refused"));
  }
}

}  // namespace
}  // namespace zelvor::soap
