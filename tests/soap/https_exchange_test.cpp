// TLS on the transport: the server's certificate is verified against the system's issuers and
// the store's extra issuers, and the store's client certificate is offered when a server asks.
#include <arpa/inet.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <thread>

#include "soap/http_transport.h"
#include "soap/remote_errors.h"
#include "support/loopback_server.h"
#include "support/loopback_socket.h"
#include "support/test_pki.h"

namespace zelvor::soap {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;
namespace fs = std::filesystem;
using test::TestCertificate;

// A self-signed certificate: a server's names its hosts, a client's names none.
TestCertificate SelfSigned(const std::string& commonName, const std::string& serialHex,
                           std::vector<std::string> hosts = {}) {
  return test::MakeSelfSigned(
      {.subject = {{"CN", commonName}}, .serialHex = serialHex, .hosts = std::move(hosts)});
}

// A front on loopback for a server, as a server that was just restarted looks: it breaks off the
// first handshake, with a close_notify and a reset, and passes every later connection through.
class BrokenFirstHandshake {
 public:
  explicit BrokenFirstHandshake(int serverPort)
      : serverPort_(serverPort), listener_(test::ListenOnLoopback()) {
    thread_ = std::thread([this] { Serve(); });
  }
  ~BrokenFirstHandshake() {
    done_ = true;
    thread_.join();
    ::close(listener_.fd);
  }
  int Port() const { return listener_.port; }
  int Connections() const { return connections_; }

 private:
  void Serve() {
    while (!done_) {
      pollfd wait{listener_.fd, POLLIN, 0};
      if (::poll(&wait, 1, 20) <= 0) continue;
      const int client = ::accept(listener_.fd, nullptr, nullptr);
      if (client < 0) continue;
      if (connections_++ == 0) {
        char hello[4096];
        (void)!::recv(client, hello, sizeof hello, 0);
        const unsigned char closeNotify[] = {0x15, 0x03, 0x03, 0x00, 0x02, 0x01, 0x00};
        (void)!::send(client, closeNotify, sizeof closeNotify, MSG_NOSIGNAL);
        const linger reset{1, 0};
        ::setsockopt(client, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
      } else {
        Pass(client);
      }
      ::close(client);
    }
  }

  void Pass(int client) {
    const int server = test::ConnectToLoopback(serverPort_);
    if (server < 0) return;
    test::PassBothWays(client, server, done_);
    ::close(server);
  }

  int serverPort_;
  test::LoopbackListener listener_;
  std::atomic<bool> done_{false};
  std::atomic<int> connections_{0};
  std::thread thread_;
};

class HttpsExchange : public ::testing::Test {
 protected:
  void SetUp() override {
    store_ = fs::temp_directory_path() /
             ("zelvor-store-" + std::to_string(::getpid()) + "-" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(store_);
    fs::create_directories(store_);
    service_.name = "Probe";
    operation_.name = "Ask";
  }
  void TearDown() override { fs::remove_all(store_); }

  void StartServer(X509_STORE* clientIssuers = nullptr) {
    server_ = std::make_unique<zelvor::test::LoopbackServer>(
        std::make_unique<httplib::SSLServer>(server_identity_.Get(), server_identity_.key.get(),
                                             clientIssuers),
        true);
    server_->Http().set_keep_alive_max_count(1000);
    server_->Http().Post("/svc", [this](const httplib::Request& req, httplib::Response& res) {
      ports_.insert(req.remote_port);
      res.set_content("<ok/>", "text/xml");
    });
    server_->Start();
  }

  HttpSettings WithStore(platform::CertificateSelectors selectors = {}) const {
    HttpSettings settings;
    settings.clientTls = platform::ClientTlsSettings{store_, std::move(selectors), nullptr};
    return settings;
  }

  std::string Call(HttpTransport& transport) {
    return transport.Exchange(service_, operation_, "<r/>");
  }

  const TestCertificate server_identity_ = SelfSigned("127.0.0.1", "2A", {"127.0.0.1"});
  fs::path store_;
  std::unique_ptr<zelvor::test::LoopbackServer> server_;
  std::set<int> ports_;
  InterfaceInfo service_;
  OperationInfo operation_;
};

TEST_F(HttpsExchange, AnUnverifiedServerEndsTheCallSayingWhy) {
  StartServer();
  HttpTransport transport(server_->Url("/svc"), WithStore());
  try {
    Call(transport);
    FAIL() << "an unverified server was accepted";
  } catch (const ETransportError& error) {
    EXPECT_THAT(error.what(), HasSubstr(" (Error sending data: (60) The server's certificate could "
                                        "not be verified: "));
    EXPECT_THAT(error.what(), HasSubstr("self-signed certificate"));
    EXPECT_FALSE(error.Transient());
  }
}

TEST_F(HttpsExchange, TheStoresIssuersAreTrustedAndOneConnectionServesEveryCall) {
  test::WriteCertificatesPem(store_ / "issuers" / "server.pem", {&server_identity_});
  StartServer();
  HttpTransport transport(server_->Url("/svc"), WithStore());
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Call(transport), "<ok/>");
  EXPECT_EQ(ports_.size(), 1u);
}

TEST_F(HttpsExchange, TheSelectedClientCertificateIsPresentedWhenTheServerAsksForOne) {
  const TestCertificate other = SelfSigned("Someone else", "0102");
  const TestCertificate chosen = SelfSigned("KREPTD", "0A0B");
  test::WriteCertificatesPem(store_ / "issuers" / "server.pem", {&server_identity_});
  test::WriteCertificateWithKeyPem(store_ / "personal" / "a_other.pem", other);
  test::WriteCertificateWithKeyPem(store_ / "personal" / "b_chosen.pem", chosen);
  // The server accepts only the chosen certificate.
  X509_STORE* clientIssuers = X509_STORE_new();
  X509_STORE_add_cert(clientIssuers, chosen.Get());
  StartServer(clientIssuers);

  platform::CertificateSelectors selectors;
  selectors.serialNumber = "0A0B";
  HttpTransport transport(server_->Url("/svc"), WithStore(selectors));
  EXPECT_EQ(Call(transport), "<ok/>");
}

// A handshake broken off without the server's word, as when the server was just restarted and
// no longer knows the client's session, is tried again at once on a new connection.
TEST_F(HttpsExchange, AHandshakeBrokenOffIsTriedAgainOnANewConnection) {
  const TestCertificate client = SelfSigned("KREPTD", "0A0B");
  test::WriteCertificatesPem(store_ / "issuers" / "server.pem", {&server_identity_});
  test::WriteCertificateWithKeyPem(store_ / "personal" / "client.pem", client);
  X509_STORE* clientIssuers = X509_STORE_new();
  X509_STORE_add_cert(clientIssuers, client.Get());
  StartServer(clientIssuers);
  BrokenFirstHandshake front(server_->Port());

  platform::CertificateSelectors selectors;
  selectors.serialNumber = "0A0B";
  HttpTransport transport("https://127.0.0.1:" + std::to_string(front.Port()) + "/svc",
                          WithStore(selectors));
  EXPECT_EQ(Call(transport), "<ok/>");
  EXPECT_EQ(front.Connections(), 2);
}

TEST_F(HttpsExchange, AStoreThatCannotBeUsedEndsTheCallWithItsMessage) {
  test::WriteCertificatesPem(store_ / "issuers" / "server.pem", {&server_identity_});
  const TestCertificate client = SelfSigned("KREPTD", "07");
  // Others may read the key.
  test::WriteCertificateWithKeyPem(store_ / "personal" / "client.pem", client, 0604);
  StartServer();
  HttpTransport transport(server_->Url("/svc"), WithStore());
  try {
    Call(transport);
    FAIL() << "no error";
  } catch (const ETransportError& error) {
    // The store's own sentence first, the library's text after it.
    EXPECT_THAT(error.what(), StartsWith("Plik klucza prywatnego \""));
    EXPECT_THAT(error.what(), HasSubstr("chmod 600"));
    EXPECT_THAT(error.what(), HasSubstr(". (Error sending data: ("));
    EXPECT_FALSE(error.Transient());
  }
}

}  // namespace
}  // namespace zelvor::soap
