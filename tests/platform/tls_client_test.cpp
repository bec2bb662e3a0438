// HTTPS against a loopback server that demands a client certificate, with libcurl configured
// through ConfigureSslContext the way the SOAP transport does it.
#include "platform/tls_client.h"

#include <curl/curl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <httplib.h>

#include <memory>

#include "platform/certificate_folder.h"
#include "platform/x509_description.h"
#include "support/loopback_server.h"
#include "support/scratch_folder.h"
#include "support/test_pki.h"

namespace zelvor::platform {
namespace {

namespace fs = std::filesystem;
using test::TestCertificate;
using ::testing::AllOf;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

// An HTTPS server that demands a client certificate leading to one of the trusted roots, and
// names the accepted issuers in its request.
std::unique_ptr<httplib::SSLServer> DemandingServer(
    const TestCertificate& identity, const std::vector<const TestCertificate*>& trustedRoots,
    const std::vector<const TestCertificate*>& namedIssuers) {
  return std::make_unique<httplib::SSLServer>([&](SSL_CTX& ctx) {
    SSL_CTX_use_certificate(&ctx, identity.Get());
    SSL_CTX_use_PrivateKey(&ctx, identity.key.get());
    for (const TestCertificate* root : trustedRoots) {
      X509_STORE_add_cert(SSL_CTX_get_cert_store(&ctx), root->Get());
    }
    STACK_OF(X509_NAME)* names = sk_X509_NAME_new_null();
    for (const TestCertificate* issuer : namedIssuers) {
      sk_X509_NAME_push(names, X509_NAME_dup(X509_get_subject_name(issuer->Get())));
    }
    SSL_CTX_set_client_CA_list(&ctx, names);
    SSL_CTX_set_verify(&ctx, SSL_VERIFY_PEER | SSL_VERIFY_FAIL_IF_NO_PEER_CERT, nullptr);
    // A server that verifies clients needs a session context, or OpenSSL refuses the
    // resumed sessions that libcurl offers on its next connections.
    static constexpr unsigned char kSessionContext[] = "zelvor-test";
    SSL_CTX_set_session_id_context(&ctx, kSessionContext, sizeof kSessionContext - 1);
    return true;
  });
}

// Answers GET /whoami with the serial number of the client's certificate.
class WhoAmIServer {
 public:
  WhoAmIServer(const TestCertificate& identity, std::vector<const TestCertificate*> trustedRoots,
               std::vector<const TestCertificate*> namedIssuers)
      : server_(DemandingServer(identity, trustedRoots, namedIssuers), true) {
    server_.Http().Get("/whoami", [](const httplib::Request& request, httplib::Response& response) {
      X509Ptr peer(SSL_get1_peer_certificate(request.ssl));
      response.set_content(peer ? DescribeCertificate(*peer).serialNumber : "none", "text/plain");
    });
    server_.Start();
  }
  std::string Url() const { return server_.Url("/whoami"); }

 private:
  test::LoopbackServer server_;
};

struct FetchResult {
  CURLcode code = CURLE_OK;
  std::string error;       // libcurl's error text
  std::string storeError;  // the certificate store's message, when it could not be used
  std::string body;
};

// One handle, reused for every call like the transport's; each call opens a new connection.
class HttpsClient {
 public:
  explicit HttpsClient(ClientTlsSettings settings, bool reuseSessions = true)
      : hook_{std::move(settings), {}}, reuseSessions_(reuseSessions) {}

  FetchResult Fetch(const std::string& url) {
    FetchResult result;
    char error[CURL_ERROR_SIZE] = "";
    hook_.error.clear();
    curl_easy_setopt(curl_.get(), CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl_.get(), CURLOPT_SSL_CTX_FUNCTION, &SslContextHook);
    curl_easy_setopt(curl_.get(), CURLOPT_SSL_CTX_DATA, &hook_);
    curl_easy_setopt(curl_.get(), CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(curl_.get(), CURLOPT_SSL_VERIFYHOST, 2L);
    curl_easy_setopt(curl_.get(), CURLOPT_FORBID_REUSE, 1L);
    curl_easy_setopt(curl_.get(), CURLOPT_SSL_SESSIONID_CACHE, reuseSessions_ ? 1L : 0L);
    curl_easy_setopt(curl_.get(), CURLOPT_TIMEOUT, 30L);
    curl_easy_setopt(curl_.get(), CURLOPT_ERRORBUFFER, error);
    curl_easy_setopt(curl_.get(), CURLOPT_WRITEFUNCTION, &Append);
    curl_easy_setopt(curl_.get(), CURLOPT_WRITEDATA, &result.body);
    result.code = curl_easy_perform(curl_.get());
    curl_easy_setopt(curl_.get(), CURLOPT_ERRORBUFFER, nullptr);
    result.error = error;
    result.storeError = hook_.error;
    return result;
  }

 private:
  struct Hook {
    ClientTlsSettings settings;
    std::string error;
  };

  // What the transport does in CURLOPT_SSL_CTX_FUNCTION: no exception may reach libcurl.
  static CURLcode SslContextHook(CURL*, void* sslContext, void* data) {
    auto* hook = static_cast<Hook*>(data);
    try {
      ConfigureSslContext(static_cast<SSL_CTX*>(sslContext), hook->settings);
      return CURLE_OK;
    } catch (const std::exception& e) {
      hook->error = e.what();
      return CURLE_SSL_CERTPROBLEM;
    }
  }
  static size_t Append(char* data, size_t size, size_t count, void* body) {
    static_cast<std::string*>(body)->append(data, size * count);
    return size * count;
  }

  Hook hook_;
  bool reuseSessions_;
  std::unique_ptr<CURL, decltype([](CURL* c) { curl_easy_cleanup(c); })> curl_{curl_easy_init()};
};

class RecordingPicker : public CertificatePicker {
 public:
  explicit RecordingPicker(std::optional<std::size_t> answer) : answer_(answer) {}
  std::optional<std::size_t> PickCertificate(
      const std::vector<CertificateDescription>& candidates) override {
    for (const CertificateDescription& c : candidates) shownSerials.push_back(c.serialNumber);
    ++calls;
    return answer_;
  }
  int calls = 0;
  std::vector<std::string> shownSerials;

 private:
  std::optional<std::size_t> answer_;
};

const test::NameAttributes kSubject{{"C", "PL"},
                                    {"ST", "mazowieckie"},
                                    {"L", "Warszawa"},
                                    {"O", "Przewóz Sp. z o.o."},
                                    {"CN", "KREPTD"}};
const std::string kSubjectText = "PL;mazowieckie;Warszawa;Przewóz Sp. z o.o.;KREPTD";
const std::string kIssuerText = "local;gitd;GITD SUB03 CA";

class TlsClientTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    pki = std::make_unique<test::TestPki>();
    otherRoot = std::make_unique<TestCertificate>(test::MakeRootCa({{"CN", "Other Root"}}));
  }
  static void TearDownTestSuite() {
    pki.reset();
    otherRoot.reset();
  }

  // Two "KREPTD" certificates from GITD SUB03 CA with different serial numbers, in this order.
  void AddTwoKreptd() {
    test::AddPersonalCertificate(store.Path(), "1-kreptd", pki->MakeClient(kSubject, "0A0A"),
                                 {&pki->gitdSub03});
    test::AddPersonalCertificate(store.Path(), "2-kreptd", pki->MakeClient(kSubject, "0B0B"),
                                 {&pki->gitdSub03});
    test::AddTrustedIssuer(store.Path(), "root", pki->root);
  }
  ClientTlsSettings Settings(CertificateSelectors selectors,
                             std::shared_ptr<CertificatePicker> picker = nullptr) const {
    return {store.Path(), std::move(selectors), std::move(picker)};
  }
  WhoAmIServer GitdServer() const { return {pki->server, {&pki->root}, {&pki->gitdSub03}}; }

  static inline std::unique_ptr<test::TestPki> pki;
  static inline std::unique_ptr<TestCertificate> otherRoot;
  test::ScratchFolder store;
};

TEST_F(TlsClientTest, TheConfiguredSerialChoosesBetweenTwoKreptdCertificates) {
  AddTwoKreptd();
  const WhoAmIServer server = GitdServer();
  for (const std::string serial : {"0A0A", "0B0B"}) {
    HttpsClient client(Settings({"KREPTD", kSubjectText, kIssuerText, serial}));
    const FetchResult result = client.Fetch(server.Url());
    ASSERT_EQ(result.code, CURLE_OK) << result.error;
    EXPECT_EQ(result.body, serial);
  }
}

TEST_F(TlsClientTest, LetterCaseCountsInTheSubject) {
  AddTwoKreptd();
  const WhoAmIServer server = GitdServer();
  const struct {
    std::string subject;
    std::string seen;  // empty: no match, the picker is asked and declines
  } cases[] = {
      {kSubjectText, "0A0A"},
      {"PL;Mazowieckie;Warszawa;Przewóz Sp. z o.o.;KREPTD", ""},
      {"PL;mazowieckie;Warszawa;Przewóz Sp. z o.o.;kreptd", ""},
  };
  for (const auto& c : cases) {
    auto picker = std::make_shared<RecordingPicker>(std::nullopt);
    HttpsClient client(Settings({.subject = c.subject}, picker));
    const FetchResult result = client.Fetch(server.Url());
    EXPECT_EQ(result.code == CURLE_OK, !c.seen.empty()) << c.subject << ": " << result.error;
    EXPECT_EQ(result.body, c.seen) << c.subject;
    EXPECT_EQ(picker->calls, c.seen.empty() ? 1 : 0) << c.subject;
  }
}

TEST_F(TlsClientTest, IssuersNamedByTheServerFilterTheCandidates) {
  // Store order: a "KREPTD" from another issuer first, then the one from GITD SUB03 CA. The
  // server trusts both roots, so only the client's filter decides which one it sees.
  const TestCertificate foreign =
      test::MakeCertificate(*otherRoot, {.subject = {{"CN", "KREPTD"}}, .serialHex = "F0"});
  test::AddPersonalCertificate(store.Path(), "1-foreign", foreign, {});
  test::AddPersonalCertificate(store.Path(), "2-gitd", pki->MakeClient(kSubject, "0A0A"),
                               {&pki->gitdSub03});
  test::AddTrustedIssuer(store.Path(), "root", pki->root);
  const struct {
    const char* label;
    std::vector<const TestCertificate*> named;
    std::string seen;
  } cases[] = {
      {"GITD SUB03 CA", {&pki->gitdSub03}, "0A0A"},
      {"root above GITD SUB03 CA", {&pki->root}, "0A0A"},
      {"the other root", {otherRoot.get()}, "F0"},
      {"none: every certificate is a candidate", {}, "F0"},
  };
  for (const auto& c : cases) {
    const WhoAmIServer server(pki->server, {&pki->root, otherRoot.get()}, c.named);
    HttpsClient client(Settings({.displayName = "KREPTD"}));
    const FetchResult result = client.Fetch(server.Url());
    EXPECT_EQ(result.code, CURLE_OK) << c.label << ": " << result.error;
    EXPECT_EQ(result.body, c.seen) << c.label;
  }
}

TEST_F(TlsClientTest, WithoutAMatchThePickersChoiceIsUsed) {
  AddTwoKreptd();
  const WhoAmIServer server = GitdServer();
  auto picker = std::make_shared<RecordingPicker>(1);
  HttpsClient client(Settings({.displayName = "KREPTD", .serialNumber = "0C0C"}, picker));
  const FetchResult result = client.Fetch(server.Url());
  ASSERT_EQ(result.code, CURLE_OK) << result.error;
  EXPECT_EQ(result.body, "0B0B");
  EXPECT_EQ(picker->calls, 1);
  EXPECT_THAT(picker->shownSerials, ElementsAre("0A0A", "0B0B"));
}

TEST_F(TlsClientTest, NothingChosenSendsNoCertificateAndTheServerRefuses) {
  AddTwoKreptd();
  const WhoAmIServer server = GitdServer();
  const std::shared_ptr<CertificatePicker> pickers[] = {
      std::make_shared<RecordingPicker>(std::nullopt),  // the person cancelled
      nullptr,                                          // headless: nobody to ask
  };
  for (const auto& picker : pickers) {
    HttpsClient client(Settings({.serialNumber = "0C0C"}, picker));
    const FetchResult result = client.Fetch(server.Url());
    EXPECT_NE(result.code, CURLE_OK);  // how the refusal shows depends on timing under TLS 1.3
    EXPECT_FALSE(result.error.empty());
    EXPECT_EQ(result.body, "");
  }
}

TEST_F(TlsClientTest, ServerCertificateIsVerifiedAgainstTheStoresIssuers) {
  test::AddPersonalCertificate(store.Path(), "kreptd", pki->MakeClient(kSubject, "0A0A"),
                               {&pki->gitdSub03});
  const WhoAmIServer server = GitdServer();
  HttpsClient untrusting(Settings({.displayName = "KREPTD"}));
  const FetchResult refused = untrusting.Fetch(server.Url());
  EXPECT_EQ(refused.code, CURLE_PEER_FAILED_VERIFICATION);
  EXPECT_THAT(refused.error, HasSubstr("SSL certificate problem"));

  test::AddTrustedIssuer(store.Path(), "test-root", pki->root);
  // Every new connection of the handle gets a new context: resumed, or verified afresh.
  for (const bool reuseSessions : {true, false}) {
    HttpsClient trusting(Settings({.displayName = "KREPTD"}), reuseSessions);
    for (int call = 0; call < 2; ++call) {
      const FetchResult result = trusting.Fetch(server.Url());
      ASSERT_EQ(result.code, CURLE_OK) << reuseSessions << " " << call << ": " << result.error;
      EXPECT_EQ(result.body, "0A0A");
    }
  }
}

TEST_F(TlsClientTest, AnExposedKeyStopsTheCallWithTheFix) {
  AddTwoKreptd();
  const fs::path key = PersonalFolder(store.Path()) / "2-kreptd.key";
  fs::permissions(key, fs::perms::group_read | fs::perms::others_read, fs::perm_options::add);
  const WhoAmIServer server = GitdServer();
  HttpsClient client(Settings({.displayName = "KREPTD"}));
  const FetchResult result = client.Fetch(server.Url());
  EXPECT_EQ(result.code, CURLE_SSL_CERTPROBLEM);
  EXPECT_THAT(result.storeError, AllOf(HasSubstr(key.string()), HasSubstr("chmod 600")));
}

}  // namespace
}  // namespace zelvor::platform
