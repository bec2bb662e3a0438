// The register's transport against register-sim: https only, bounded calls, idle connections the
// server closed, and set-up failures explained in Polish.
#include "register/register_transport.h"

#include <arpa/inet.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <optional>
#include <thread>

#include "platform/x509_description.h"
#include "register/citizen_api.h"
#include "soap/remote_errors.h"
#include "support/connect_proxy.h"
#include "support/loopback_server.h"
#include "support/loopback_socket.h"
#include "support/scratch_folder.h"
#include "support/sim_process.h"
#include "support/test_pki.h"

namespace zelvor::reg {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using ::testing::HasSubstr;
using ::testing::StartsWith;

// Tax numbers that draw a fault from register-sim (given on its command line).
constexpr const char* kTrickleFast = "1111111111";  // trickle:20
constexpr const char* kTrickleSlow = "2222222222";  // trickle:2000
constexpr const char* kStall = "3333333333";        // stall:3000
constexpr const char* kAnyNumber = "5260250995";    // no fault: an empty list of hits
constexpr const char* kClientSerial = "0A1B2C";

// A plain TCP listener on loopback that records whether anything connected or arrived.
class ClearTextWitness {
 public:
  ClearTextWitness() {
    const test::LoopbackListener listener = test::ListenOnLoopback();
    fd_ = listener.fd;
    port_ = listener.port;
    thread_ = std::thread([this] { Watch(); });
  }
  ~ClearTextWitness() {
    done_ = true;
    thread_.join();
    ::close(fd_);
  }
  int Port() const { return port_; }
  bool Connected() const { return connected_; }
  std::size_t BytesSeen() const { return bytes_; }

 private:
  void Watch() {
    while (!done_) {
      pollfd wait{fd_, POLLIN, 0};
      if (::poll(&wait, 1, 20) <= 0) continue;
      const int client = ::accept(fd_, nullptr, nullptr);
      if (client < 0) continue;
      connected_ = true;
      char buffer[4096];
      for (int round = 0; round < 25 && !done_; ++round) {
        pollfd data{client, POLLIN, 0};
        if (::poll(&data, 1, 20) <= 0) continue;
        const ssize_t n = ::recv(client, buffer, sizeof buffer, 0);
        if (n <= 0) break;
        bytes_ += static_cast<std::size_t>(n);
      }
      ::close(client);
    }
  }

  int fd_ = -1;
  int port_ = 0;
  std::atomic<bool> done_{false};
  std::atomic<bool> connected_{false};
  std::atomic<std::size_t> bytes_{0};
  std::thread thread_;
};

// The certificate with other validity dates, signed again by its issuer.
test::TestCertificate Redated(const test::TestCertificate& original,
                              const test::TestCertificate& issuer, long fromDays, long toDays) {
  platform::X509Ptr copy(X509_dup(original.Get()));
  X509_gmtime_adj(X509_getm_notBefore(copy.get()), fromDays * 86400);
  X509_gmtime_adj(X509_getm_notAfter(copy.get()), toDays * 86400);
  X509_sign(copy.get(), issuer.key.get(), EVP_sha256());
  return {std::move(copy), platform::ShareKey(original.key.get())};
}

// The Polish sentence of a message: what stands before the library's text in parentheses.
std::string Sentence(const std::string& message) {
  const size_t open = message.find(" (Error ");
  return open == std::string::npos ? message : message.substr(0, open);
}

class RegisterTransportTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    pki_ = std::make_unique<test::TestPki>();
    files_ = std::make_unique<test::ScratchFolder>();
    test::WriteCertificatesPem(*files_ / "server.pem", {&pki_->server});
    test::WriteKeyPem(*files_ / "server.key", *pki_->server.key);
    test::WriteCertificatesPem(*files_ / "client-ca.pem", {&pki_->gitdSub03, &pki_->root});
    sim_ = std::make_unique<test::SimProcess>(
        test::RegisterSimPath(),
        std::vector<std::string>{
            "--cert", (*files_ / "server.pem").string(), "--key", (*files_ / "server.key").string(),
            "--client-ca", (*files_ / "client-ca.pem").string(), "--size", "20",
            "--keep-alive-timeout-ms", "0", "--fault", std::string(kTrickleFast) + "=trickle:20",
            "--fault", std::string(kTrickleSlow) + "=trickle:2000", "--fault",
            std::string(kStall) + "=stall:3000"});
  }
  static void TearDownTestSuite() {
    sim_.reset();
    files_.reset();
    pki_.reset();
  }

  void SetUp() override {
    client_ = pki_->MakeClient({{"CN", "KREPTD"}}, kClientSerial);
    FillStore();
  }

  // The store as a user who imported the certificate has it.
  void FillStore() const {
    fs::remove_all(store_ / "personal");
    fs::remove_all(store_ / "issuers");
    test::AddPersonalCertificate(store_.Path(), "kreptd", client_, {&pki_->gitdSub03});
    test::AddTrustedIssuer(store_.Path(), "root", pki_->root);
  }

  RegisterTransportSettings Settings() const {
    RegisterTransportSettings settings = DefaultRegisterTransportSettings();
    settings.url = sim_->Url();
    settings.storeFolder = store_.Path();
    return settings;
  }

  static void Search(soap::HttpTransport& transport, const std::string& nip) {
    ParametryWyszukiwaniaPrzedsiebiorcowTyp params;
    params.SetNIP(nip);
    transport.As<CitizenApi>()->WyszukajPrzedsiebiorce(params);
  }

  // The transport error of one search; fails the test when there is none.
  static soap::ETransportError FailedSearch(soap::HttpTransport& transport,
                                            const std::string& nip = kAnyNumber) {
    try {
      Search(transport, nip);
    } catch (const soap::ETransportError& error) {
      return error;
    }
    ADD_FAILURE() << "the search succeeded";
    return soap::ETransportError("");
  }

  std::string HostPort() const { return "127.0.0.1:" + std::to_string(sim_->Port()); }

  static inline std::unique_ptr<test::TestPki> pki_;
  static inline std::unique_ptr<test::ScratchFolder> files_;
  static inline std::unique_ptr<test::SimProcess> sim_;
  test::ScratchFolder store_;
  test::TestCertificate client_;
};

TEST_F(RegisterTransportTest, ACallAfterTheServerDroppedTheIdleConnectionSucceeds) {
  // register-sim closes every connection as soon as it is idle; each call finds the connection
  // it kept already closed by the server.
  const auto transport = MakeRegisterTransport(Settings());
  for (int i = 0; i < 8; ++i) {
    EXPECT_NO_THROW(Search(*transport, kAnyNumber)) << "call " << i;
    std::this_thread::sleep_for(150ms);
  }
}

TEST_F(RegisterTransportTest, ATrickleOrALongCallIsEndedAsATransientTimeOut) {
  const struct {
    const char* name;
    std::function<void(soap::HttpSettings&)> limit;
    std::string libraryText;
  } cases[] = {
      {"slower than the low-speed limit",
       [](soap::HttpSettings& s) {
         s.lowSpeedBytesPerSecond = 200;
         s.lowSpeedTime = 500ms;
       },
       "Error receiving data: (28) Less than 200 bytes/s received in 500 ms"},
      {"longer than the total limit", [](soap::HttpSettings& s) { s.totalTimeout = 700ms; },
       "Error receiving data: (28) No answer within 700 ms"},
  };
  for (const auto& c : cases) {
    RegisterTransportSettings settings = Settings();
    c.limit(settings.http);
    const auto transport = MakeRegisterTransport(std::move(settings));
    const soap::ETransportError error = FailedSearch(*transport, kTrickleFast);
    EXPECT_EQ(std::string(error.what()),
              "Serwer " + HostPort() +
                  " nie odpowiedział w wyznaczonym czasie. Spróbuj ponownie później; jeśli błąd "
                  "się powtarza, sprawdź połączenie z siecią. (" +
                  c.libraryText + ")")
        << c.name;
    EXPECT_TRUE(error.Transient()) << c.name;
    EXPECT_NO_THROW(Search(*transport, kAnyNumber)) << c.name;
  }
}

TEST_F(RegisterTransportTest, WithTheDefaultLimitsATrickleIsEndedAtTheLowSpeedLimit) {
  // One byte every 2 s: under 1 byte/s, yet never 60 s without a byte.
  const auto transport = MakeRegisterTransport(Settings());
  const auto started = std::chrono::steady_clock::now();
  const soap::ETransportError error = FailedSearch(*transport, kTrickleSlow);
  EXPECT_THAT(error.what(),
              HasSubstr("(Error receiving data: (28) Less than 1 bytes/s received in 60000 ms)"));
  EXPECT_TRUE(error.Transient());
  EXPECT_LT(std::chrono::steady_clock::now() - started, 200s);  // hang guard
}

TEST_F(RegisterTransportTest, NothingIsSentInClear) {
  const ClearTextWitness witness;
  const std::string clearUrl = "http://127.0.0.1:" + std::to_string(witness.Port()) + "/x";

  // Asked for plain http directly.
  RegisterTransportSettings settings = Settings();
  settings.url = clearUrl;
  const auto direct = MakeRegisterTransport(std::move(settings));
  const soap::ETransportError refused = FailedSearch(*direct);
  EXPECT_EQ(Sentence(refused.what()),
            "Adres rejestru „" + clearUrl +
                "” nie używa szyfrowanego połączenia https, więc zapytanie nie zostało wysłane. "
                "Podaj adres rejestru zaczynający się od https://.");
  EXPECT_FALSE(refused.Transient());

  // Redirected there by an https server the store trusts.
  zelvor::test::LoopbackServer redirecting(
      std::make_unique<httplib::SSLServer>(pki_->server.Get(), pki_->server.key.get()), true);
  redirecting.Http().Post("/svc", [&](const httplib::Request&, httplib::Response& res) {
    res.set_redirect(clearUrl, 307);
  });
  redirecting.Start();
  settings = Settings();
  settings.url = redirecting.Url("/svc");
  const auto redirected = MakeRegisterTransport(std::move(settings));
  const soap::ETransportError followed = FailedSearch(*redirected);
  EXPECT_EQ(Sentence(followed.what()),
            "Serwer 127.0.0.1:" + std::to_string(redirecting.Port()) +
                " przekierował zapytanie na adres bez szyfrowania, więc nie zostało ono tam "
                "wysłane. Sprawdź adres rejestru.");
  EXPECT_FALSE(followed.Transient());

  std::this_thread::sleep_for(100ms);  // time for a connection, had there been one, to show
  EXPECT_FALSE(witness.Connected());
  EXPECT_EQ(witness.BytesSeen(), 0u);
}

TEST_F(RegisterTransportTest, SetUpFailuresAreExplainedInPolishTheSameWayEveryTime) {
  const std::string store = store_.Path().string();
  const test::TestCertificate expired = Redated(client_, pki_->gitdSub03, -400, -30);
  const test::TestCertificate early = Redated(client_, pki_->gitdSub03, 30, 400);
  const auto validity = [](const test::TestCertificate& c) {
    const platform::CertificateDescription d = platform::DescribeCertificate(*c.Get());
    return platform::FormatValidityTime(d.notBefore) + " do " +
           platform::FormatValidityTime(d.notAfter);
  };
  // A certificate that names the register's issuer but was signed by an impostor of it.
  const test::TestCertificate impostor =
      test::MakeRootCa({{"DC", "local"}, {"DC", "gitd"}, {"CN", "GITD SUB03 CA"}});
  const test::TestCertificate forged =
      test::MakeCertificate(impostor, {.subject = {{"CN", "KREPTD"}}, .serialHex = "0F0F"});
  const auto onlyCertificate = [&](const test::TestCertificate& c) {
    fs::remove_all(store_ / "personal");
    test::AddPersonalCertificate(store_.Path(), "kreptd", c, {});
  };

  const struct {
    const char* name;
    std::function<void(RegisterTransportSettings&)> arrange;
    std::string sentence;
    bool transient;
  } cases[] = {
      {"missing store folder",
       [&](RegisterTransportSettings& s) { s.storeFolder = store_ / "brak"; },
       "Nie ma folderu magazynu certyfikatów \"" + store +
           "/brak\". Zaimportuj certyfikat przyciskiem „Importuj certyfikat…” albo umieść go w "
           "podfolderze „personal” tego folderu.",
       false},
      {"no certificate matches",
       [](RegisterTransportSettings& s) { s.selectors.serialNumber = "00"; },
       "Rejestr wymaga certyfikatu klienta, a w magazynie certyfikatów \"" + store +
           "\" nie ma certyfikatu pasującego do ustawień (nazwa „KREPTD”, wystawca „local;gitd;"
           "GITD SUB03 CA”, numer seryjny „00”). Zaimportuj certyfikat przyciskiem „Importuj "
           "certyfikat…” albo umieść go w folderze \"" +
           store + "/personal\".",
       false},
      {"expired certificate", [&](RegisterTransportSettings&) { onlyCertificate(expired); },
       std::string("Certyfikat klienta „KREPTD” (numer seryjny ") + kClientSerial +
           ") jest ważny od " + validity(expired) +
           ", więc wygasł i rejestr go odrzucił. Zaimportuj aktualny certyfikat przyciskiem "
           "„Importuj certyfikat…”.",
       false},
      {"certificate not yet valid", [&](RegisterTransportSettings&) { onlyCertificate(early); },
       std::string("Certyfikat klienta „KREPTD” (numer seryjny ") + kClientSerial +
           ") jest ważny od " + validity(early) +
           ", więc nie jest jeszcze ważny i rejestr go odrzucił. Zaimportuj aktualny certyfikat "
           "przyciskiem „Importuj certyfikat…”.",
       false},
      {"certificate refused", [&](RegisterTransportSettings&) { onlyCertificate(forged); },
       "Rejestr odrzucił certyfikat klienta „KREPTD” (numer seryjny 0F0F), wystawca „local;gitd;"
       "GITD SUB03 CA”. Sprawdź, czy to certyfikat wydany do rejestru i czy nie został "
       "unieważniony; w razie potrzeby zaimportuj właściwy przyciskiem „Importuj certyfikat…”.",
       false},
      {"server not verified",
       [&](RegisterTransportSettings&) { fs::remove_all(store_ / "issuers"); },
       "Nie można potwierdzić tożsamości serwera " + HostPort() +
           ": jego certyfikat nie pochodzi od zaufanego wystawcy. Umieść certyfikat wystawcy "
           "serwera w folderze \"" +
           store + "/issuers\".",
       false},
      {"no connection",
       [](RegisterTransportSettings& s) { s.url = "https://127.0.0.1:1/CitizenApi.svc"; },
       "Nie można połączyć się z serwerem 127.0.0.1:1. Sprawdź połączenie z siecią i adres "
       "rejestru.",
       true},
  };
  for (const auto& c : cases) {
    FillStore();
    RegisterTransportSettings settings = Settings();
    c.arrange(settings);
    const auto transport = MakeRegisterTransport(std::move(settings));
    // How a refusal shows on the wire varies between runs; the sentence must not.
    for (int run = 0; run < 4; ++run) {
      const soap::ETransportError error = FailedSearch(*transport);
      EXPECT_EQ(Sentence(error.what()), c.sentence) << c.name << ", run " << run;
      EXPECT_THAT(error.what(), HasSubstr(". (Error ")) << c.name;
      EXPECT_EQ(error.Transient(), c.transient) << c.name;
    }
  }
}

// Each reason a server's certificate is not accepted gets its own sentence: the names it was
// issued for, its validity, or the folder that takes its issuer.
TEST_F(RegisterTransportTest, AnUnverifiedServerIsExplainedByItsReason) {
  const auto issued = [&](test::CertificateOptions options) {
    return test::MakeCertificate(pki_->root, options);
  };
  const test::TestCertificate otherHost =
      issued({.subject = {{"CN", "rejestr.example"}}, .hosts = {"rejestr.example"}});
  const test::TestCertificate expired = issued({.subject = {{"CN", "127.0.0.1"}},
                                                .hosts = {"127.0.0.1"},
                                                .notBefore = -std::chrono::days(400),
                                                .notAfter = -std::chrono::days(30)});
  const test::TestCertificate early = issued({.subject = {{"CN", "127.0.0.1"}},
                                              .hosts = {"127.0.0.1"},
                                              .notBefore = std::chrono::days(2)});
  const test::TestCertificate unknown = test::MakeSelfSigned(
      {.subject = {{"CN", "127.0.0.1"}}, .serialHex = "77", .hosts = {"127.0.0.1"}});
  const auto validity = [](const test::TestCertificate& c) {
    const platform::CertificateDescription d = platform::DescribeCertificate(*c.Get());
    return "(„127.0.0.1”, ważny od " + platform::FormatValidityTime(d.notBefore) + " do " +
           platform::FormatValidityTime(d.notAfter) + ")";
  };
  const struct {
    const char* name;
    const test::TestCertificate& certificate;
    std::string reason;
  } cases[] = {
      {"other host", otherHost,
       "jego certyfikat wystawiono dla „rejestr.example”, a nie dla „127.0.0.1”. Sprawdź adres "
       "rejestru w ustawieniach."},
      {"expired", expired,
       "jego certyfikat " + validity(expired) +
           " wygasł. Sprawdź datę i godzinę komputera; jeśli są poprawne, zgłoś to "
           "administratorowi rejestru."},
      {"not yet valid", early,
       "jego certyfikat " + validity(early) +
           " nie jest jeszcze ważny. Sprawdź datę i godzinę komputera; jeśli są poprawne, zgłoś "
           "to administratorowi rejestru."},
      {"unknown issuer", unknown,
       "jego certyfikat nie pochodzi od zaufanego wystawcy. Umieść certyfikat wystawcy serwera w "
       "folderze \"" +
           store_.Path().string() + "/issuers\"."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    test::WriteCertificatesPem(*files_ / "other.pem", {&c.certificate});
    test::WriteKeyPem(*files_ / "other.key", *c.certificate.key);
    test::SimProcess server(
        test::RegisterSimPath(),
        {"--cert", (*files_ / "other.pem").string(), "--key", (*files_ / "other.key").string(),
         "--client-ca", (*files_ / "client-ca.pem").string(), "--size", "20"});
    RegisterTransportSettings settings = Settings();
    settings.url = server.Url();
    const auto transport = MakeRegisterTransport(std::move(settings));
    const soap::ETransportError error = FailedSearch(*transport);
    EXPECT_EQ(Sentence(error.what()), "Nie można potwierdzić tożsamości serwera 127.0.0.1:" +
                                          std::to_string(server.Port()) + ": " + c.reason);
    EXPECT_FALSE(error.Transient());
  }
}

// Sets an environment variable for one scope, and puts back what was there.
class EnvironmentVariable {
 public:
  EnvironmentVariable(const char* name, const char* value) : name_(name) {
    if (const char* before = std::getenv(name)) before_ = before;
    if (value) {
      setenv(name, value, 1);
    } else {
      unsetenv(name);
    }
  }
  ~EnvironmentVariable() {
    if (before_) {
      setenv(name_, before_->c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }
  EnvironmentVariable(const EnvironmentVariable&) = delete;
  EnvironmentVariable& operator=(const EnvironmentVariable&) = delete;

 private:
  const char* name_;
  std::optional<std::string> before_;
};

// The program sets no proxy of its own: the office's proxy that the environment names carries the
// register's calls, as it does every other program's.
TEST_F(RegisterTransportTest, CallsGoThroughTheProxyTheEnvironmentNames) {
  test::ConnectProxy proxy;
  const EnvironmentVariable noBypass("no_proxy", nullptr), noBypassUpper("NO_PROXY", nullptr);
  const EnvironmentVariable viaProxy("https_proxy", proxy.Url().c_str());
  const auto transport = MakeRegisterTransport(Settings());
  EXPECT_NO_THROW(Search(*transport, kAnyNumber));
  EXPECT_NO_THROW(Search(*transport, kAnyNumber));
  // One tunnel a connection; whether the second call finds the first one still open is the
  // server's timing.
  EXPECT_THAT(proxy.Tunnels(), testing::Not(testing::IsEmpty()));
  EXPECT_THAT(proxy.Tunnels(), testing::Each(HostPort()));
}

TEST_F(RegisterTransportTest, ATimeOutIsExplainedInPolishAndMayBeTriedAgain) {
  RegisterTransportSettings settings = Settings();
  settings.http.receiveTimeout = 300ms;
  const auto transport = MakeRegisterTransport(std::move(settings));
  const soap::ETransportError error = FailedSearch(*transport, kStall);
  EXPECT_EQ(std::string(error.what()),
            "Serwer " + HostPort() +
                " nie odpowiedział w wyznaczonym czasie. Spróbuj ponownie później; jeśli błąd się "
                "powtarza, sprawdź połączenie z siecią. (Error receiving data: (28) No data "
                "received for 300 ms)");
  EXPECT_TRUE(error.Transient());
}

}  // namespace
}  // namespace zelvor::reg
