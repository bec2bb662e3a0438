// register-sim started as a child process and spoken to over HTTPS with libcurl.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <openssl/ssl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <functional>
#include <memory>
#include <optional>
#include <regex>
#include <thread>

#include "register-sim/register_namespaces.h"
#include "register-sim/synthetic_register.h"
#include "support/http_client.h"
#include "support/register_requests.h"
#include "support/sim_process.h"
#include "support/test_pki.h"
#include "support/xml_query.h"

namespace zelvor::test {
namespace {

using sim::CalendarDate;
using sim::SyntheticRegister;

constexpr std::uint64_t kSeed = 7;
constexpr std::size_t kSize = 600;
const std::string kSearchPath =
    "/s:Envelope/s:Body/r:WyszukajPrzedsiebiorceResponse/r:listaPrzedsiebiorcowDaneWyszukane";
const std::string kHits = kSearchPath + "/t:PrzedsiebiorcaDaneWyszukane";
const std::string kDetails =
    "/s:Envelope/s:Body/r:PobierzPrzedsiebiorceResponse/r:przedsiebiorcaSzczegoloweDaneWyszukane";
const std::string kFaultRecord = "/s:Envelope/s:Body/s:Fault/detail/r:SzczegolyBledu";

std::string DayText(CalendarDate d) {
  return soap::TXSDate(d).Text();
}

std::string DayCriteria(const std::string& from, const std::string& to) {
  return Criterion("DataWydaniaCertyfikatuOd", from) + Criterion("DataWydaniaCertyfikatuDo", to) +
         Criterion("ListaZakresowPosiadanychZezwolen", "");
}

class RegisterSimTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    pki_ = std::make_unique<SimulatorPki>();
    data_ = std::make_unique<SyntheticRegister>(kSeed, kSize);
    sim_ = Start({"--stall-ms", "3000"});
  }
  static void TearDownTestSuite() {
    EXPECT_EQ(sim_->Stop(), 0);
    sim_.reset();
    data_.reset();
    pki_.reset();
  }
  void SetUp() override {
    ASSERT_EQ(Client().PostForm(sim_->Origin() + "/_sim/reset", "").status, 200);
  }

  static std::unique_ptr<SimProcess> Start(std::vector<std::string> extra) {
    const PkiFiles& f = pki_->Files();
    std::vector<std::string> args{"--port",      "0",
                                  "--seed",      std::to_string(kSeed),
                                  "--size",      std::to_string(kSize),
                                  "--cert",      f.serverCertificate,
                                  "--key",       f.serverKey,
                                  "--client-ca", f.caCertificate};
    args.insert(args.end(), extra.begin(), extra.end());
    return std::make_unique<SimProcess>(RegisterSimPath(), args);
  }

  static HttpClient Client() {
    HttpClient c;
    c.Tls({pki_->Files().caCertificate, pki_->Files().clientCertificate, pki_->Files().clientKey});
    return c;
  }

  static HttpResult Call(HttpClient& c, const std::string& operation, const std::string& body,
                         const SimProcess& sim = *sim_) {
    const std::string action = sim::RegisterSoapAction(operation);
    return c.Post(sim.Url(), body, &action);
  }
  static HttpResult Search(HttpClient& c, const std::string& criteria,
                           const SimProcess& sim = *sim_) {
    return Call(c, "WyszukajPrzedsiebiorce", SearchRequest(criteria), sim);
  }
  static HttpResult Fetch(HttpClient& c, const std::string& reference,
                          const SimProcess& sim = *sim_) {
    return Call(c, "PobierzPrzedsiebiorce", FetchRequest(reference), sim);
  }
  static void AddFault(const std::string& form) {
    ASSERT_EQ(Client().PostForm(sim_->Origin() + "/_sim/fault", form).status, 200) << form;
  }
  static std::pair<int, int> Stats() {
    const std::string body = Client().Get(sim_->Origin() + "/_sim/stats").body;
    std::smatch m;
    EXPECT_TRUE(std::regex_search(body, m, std::regex(R"("requests":(\d+),"connections":(\d+))")))
        << body;
    return {std::stoi(m[1]), std::stoi(m[2])};
  }
  static double ServiceMs() {
    const std::string body = Client().Get(sim_->Origin() + "/_sim/stats").body;
    std::smatch m;
    EXPECT_TRUE(std::regex_search(body, m, std::regex(R"("serviceMs":(\d+\.\d{3})\})"))) << body;
    return m.empty() ? -1 : std::stod(m[1]);
  }
  static const sim::PrzedsiebiorcaSzczegoloweDaneWyszukaneTyp& Rich() { return data_->At(0); }

  static inline std::unique_ptr<SimulatorPki> pki_;
  static inline std::unique_ptr<SyntheticRegister> data_;
  static inline std::unique_ptr<SimProcess> sim_;
};

TEST_F(RegisterSimTest, SearchByNipAnswersTheWrappedListOfHitsInTheRegistersNamespaces) {
  HttpClient c = Client();
  const HttpResult r = Search(c, Criterion("NIP", Rich().NIP));
  ASSERT_EQ(r.code, CURLE_OK);
  EXPECT_EQ(r.status, 200);
  EXPECT_EQ(r.contentType, "text/xml; charset=utf-8");
  const XmlQuery q(r.body);
  ASSERT_EQ(q.Count(kHits), 1u) << r.body;
  EXPECT_EQ(q.Text(kHits + "/*[1][self::t:NumerReferencyjny]"), Rich().NumerReferencyjny());
  EXPECT_EQ(q.Text(kHits + "/*[2][self::t:FirmaNazwa]"), Rich().FirmaNazwa);
  EXPECT_EQ(q.Text(kHits + "/*[3][self::t:NIP]"), Rich().NIP);
  EXPECT_EQ(q.Count(kHits + "/*"), 3u);

  const XmlQuery none(Search(c, Criterion("NIP", "1234563218")).body);
  EXPECT_EQ(none.Count(kSearchPath), 1u);
  EXPECT_EQ(none.Count(kSearchPath + "/*"), 0u);
}

TEST_F(RegisterSimTest, FetchWritesEveryFieldAndListOfTheEnterprise) {
  HttpClient c = Client();
  const auto& d = Rich();
  const HttpResult r = Fetch(c, d.NumerReferencyjny());
  ASSERT_EQ(r.status, 200) << r.body;
  const XmlQuery q(r.body);
  EXPECT_EQ(q.Text(kDetails + "/*[1][self::t:NumerReferencyjny]"), d.NumerReferencyjny());
  EXPECT_EQ(q.Text(kDetails + "/*[3][self::t:NIP]"), d.NIP);
  EXPECT_EQ(q.Text(kDetails + "/t:FormaPrawna"), d.FormaPrawna());
  const struct {
    std::string path;
    std::size_t expected;
  } lists[] = {
      {"/t:ListaZarzadzajacyTransportemDaneWyszukane/t:ZarzadzajacyTransportemDaneWyszukane",
       d.ListaZarzadzajacyTransportemDaneWyszukane().size()},
      {"/t:ListaZezwolenieNaWykonywanieZawoduPrzewoznikaDrogowegoTyp/"
       "t:ZezwolenieNaWykonywanieZawoduPrzewoznikaDrogowegoTyp",
       d.ListaZezwolenieNaWykonywanieZawoduPrzewoznikaDrogowegoTyp().size()},
      {"/t:ListaLicencjaWspolnotowaTyp/t:LicencjaWspolnotowaTyp",
       d.ListaLicencjaWspolnotowaTyp().size()},
      {"/t:ListaWypisowZLicencjiTyp/t:Wypis", d.ListaWypisowZLicencjiTyp().size()},
      {"/t:ListaWypisowZzezwoleniaTyp/t:Wypis", d.ListaWypisowZzezwoleniaTyp().size()},
      {"/t:ListaPrzedstawicieliPrawnychTyp/t:PrzedstawicielPrawny",
       d.ListaPrzedstawicieliPrawnychTyp().size()},
  };
  for (const auto& list : lists) {
    EXPECT_GE(list.expected, 2u) << list.path;
    EXPECT_EQ(q.Count(kDetails + list.path), list.expected) << list.path;
  }
  // Enumerations as their literals, dates as yyyy-mm-dd, copies of licences with their own fields.
  const auto& manager = *d.ListaZarzadzajacyTransportemDaneWyszukane().front();
  const std::string m =
      kDetails +
      "/t:ListaZarzadzajacyTransportemDaneWyszukane/t:ZarzadzajacyTransportemDaneWyszukane[1]";
  EXPECT_EQ(q.Text(m + "/t:RodzajCertyfikatu"), soap::LiteralOf(manager.RodzajCertyfikatu()));
  EXPECT_EQ(q.Text(m + "/t:DataWydaniaCertyfikatu"), manager.DataWydaniaCertyfikatu->Text());
  EXPECT_EQ(q.Text(m + "/t:KrajWydajacyCertyfikat"),
            soap::LiteralOf(manager.KrajWydajacyCertyfikat));
  std::vector<std::string> statuses;
  for (const auto& l : d.ListaLicencjaWspolnotowaTyp())
    statuses.emplace_back(soap::LiteralOf(l->StatusLicencji));
  EXPECT_EQ(q.Texts(kDetails +
                    "/t:ListaLicencjaWspolnotowaTyp/t:LicencjaWspolnotowaTyp/t:StatusLicencji"),
            statuses);
  EXPECT_EQ(q.Count(kDetails + "/t:ListaWypisowZLicencjiTyp/t:Wypis/t:ZakresLicencji"),
            d.ListaWypisowZLicencjiTyp().size());
  EXPECT_EQ(q.Count(kDetails + "/t:ListaWypisowZzezwoleniaTyp/t:Wypis/t:ZakresZezwolenia"),
            d.ListaWypisowZzezwoleniaTyp().size());
  EXPECT_EQ(q.Text(kDetails + "/t:Adres/t:Miejscowosc"), d.Adres()->Miejscowosc);
  EXPECT_EQ(q.Text(kDetails + "/t:Adres/t:Wojewodztwo"), d.Adres()->Wojewodztwo());

  // The second enterprise has nothing optional: only the three fields of a hit.
  const XmlQuery bare(Fetch(c, data_->At(1).NumerReferencyjny()).body);
  EXPECT_EQ(bare.Count(kDetails + "/*"), 3u);
}

TEST_F(RegisterSimTest, SearchByCertificateDaysFindsEachEnterpriseCertifiedThenOnce) {
  HttpClient c = Client();
  const auto nipsOf = [&](const std::vector<std::size_t>& indices) {
    std::vector<std::string> nips;
    for (auto i : indices) nips.push_back(data_->At(i).NIP);
    return nips;
  };
  const auto busy = data_->BusyDays(3);
  ASSERT_FALSE(busy.empty());
  for (const CalendarDate& day : {busy.front(), busy.back()}) {
    const XmlQuery q(Search(c, DayCriteria(DayText(day), DayText(day))).body);
    EXPECT_EQ(q.Texts(kHits + "/t:NIP"), nipsOf(data_->CertifiedBetween(day, day))) << DayText(day);
  }
  // The connection test's range.
  const XmlQuery wide(Search(c, DayCriteria("1999-12-06", "2024-09-24")).body);
  const auto expected = data_->CertifiedBetween({1999, 12, 6}, {2024, 9, 24});
  EXPECT_EQ(wide.Count(kHits), expected.size());
  EXPECT_LT(expected.size(), kSize);
  EXPECT_EQ(wide.Texts(kHits + "/t:NIP").front(), Rich().NIP);
}

TEST_F(RegisterSimTest, UnknownReferenceNumberIsABrakDanychFault) {
  HttpClient c = Client();
  const HttpResult r = Fetch(c, "P/1999/00000001");
  EXPECT_EQ(r.status, 500);
  const XmlQuery q(r.body);
  EXPECT_EQ(q.Text("/s:Envelope/s:Body/s:Fault/faultcode"), "s:Client");
  EXPECT_EQ(q.Text(kFaultRecord + "/r:KodBledu"), "BrakDanych");
  EXPECT_FALSE(q.Text(kFaultRecord + "/r:KomunikatBledu").empty());
  EXPECT_EQ(q.Text("/s:Envelope/s:Body/s:Fault/faultstring"),
            q.Text(kFaultRecord + "/r:KomunikatBledu"));
}

TEST_F(RegisterSimTest, RequestsTheRegisterCannotReadAreRefusedWithAFault) {
  const std::string search = sim::RegisterSoapAction("WyszukajPrzedsiebiorce");
  const std::string foreign =
      "<?xml version=\"1.0\"?><e:Envelope xmlns:e=\"http://schemas.xmlsoap.org/soap/envelope/\">"
      "<e:Body><WyszukajPrzedsiebiorce xmlns=\"urn:inny\"/></e:Body></e:Envelope>";
  const struct {
    const char* name;
    std::string body;
    std::optional<std::string> action;
    const char* code;  // KodBledu, or empty for a fault without the register's record
    const char* path;  // Sciezka of the first structural error, when there is one
  } cases[] = {
      {"not XML", "to nie jest XML", search, "StrukturaKomunikatu", "/"},
      {"operation outside the namespace", foreign, search, "StrukturaKomunikatu",
       "WyszukajPrzedsiebiorce"},
      {"wrong action", SearchRequest(Criterion("NIP", "1")), "urn:inna#Operacja", "", ""},
      {"no action", SearchRequest(Criterion("NIP", "1")), std::nullopt, "", ""},
      {"no criteria", SearchRequest(Criterion("ListaZakresowPosiadanychZezwolen", "")), search,
       "NiepoprawnyArgumentOperacji", ""},
      {"bad date", SearchRequest(Criterion("DataWydaniaCertyfikatuOd", "wczoraj")), search,
       "StrukturaKomunikatu", "parametryWyszukiwaniaPrzedsiebiorcow/DataWydaniaCertyfikatuOd"},
      {"bad literal",
       SearchRequest(Criterion("ListaZakresowPosiadanychZezwolen",
                               "<ZakresZezwolenia>Ciezarowki</ZakresZezwolenia>")),
       search, "StrukturaKomunikatu",
       "parametryWyszukiwaniaPrzedsiebiorcow/ListaZakresowPosiadanychZezwolen"},
  };
  HttpClient c = Client();
  for (const auto& k : cases) {
    const HttpResult r = c.Post(sim_->Url(), k.body, k.action ? &*k.action : nullptr);
    EXPECT_EQ(r.status, 500) << k.name;
    const XmlQuery q(r.body);
    EXPECT_EQ(q.Count("/s:Envelope/s:Body/s:Fault"), 1u) << k.name;
    EXPECT_EQ(q.Text(kFaultRecord + "/r:KodBledu"), k.code) << k.name;
    EXPECT_EQ(q.Text(kFaultRecord + "/r:ListaBledowStruktury/r:BladStruktury[1]/r:Sciezka"), k.path)
        << k.name;
  }
}

TEST_F(RegisterSimTest, EachInjectedFaultAnswersOnceAsAsked) {
  const std::string criteria = Criterion("NIP", Rich().NIP);
  const struct {
    const char* kind;
    CURLcode code;
    long status;
    const char* contentType;
    std::function<bool(const HttpResult&)> holds;
  } cases[] = {
      {"soap-fault", CURLE_OK, 500, "text/xml; charset=utf-8",
       [](const HttpResult& r) {
         return XmlQuery(r.body).Text(kFaultRecord + "/r:KodBledu") == "WewnetrznyBladSerwera";
       }},
      {"other-fault", CURLE_OK, 500, "text/xml; charset=utf-8",
       [](const HttpResult& r) {
         const XmlQuery q(r.body);
         return q.Count("//s:Fault/detail/*") == 1 && q.Count(kFaultRecord) == 0;
       }},
      {"http-404", CURLE_OK, 404, "text/html", nullptr},
      {"http-503", CURLE_OK, 503, "text/html", nullptr},
      {"empty", CURLE_OK, 200, "text/xml; charset=utf-8",
       [](const HttpResult& r) { return r.body.empty(); }},
      {"html", CURLE_OK, 200, "text/html", nullptr},
      {"html-charset", CURLE_OK, 200, "text/html; charset=utf-8", nullptr},
      {"malformed", CURLE_OK, 200, "text/xml; charset=utf-8",
       [](const HttpResult& r) { return !r.body.empty() && !XmlQuery(r.body).Parsed(); }},
      {"not-envelope", CURLE_OK, 200, "text/xml; charset=utf-8",
       [](const HttpResult& r) {
         const XmlQuery q(r.body);
         return q.Parsed() && q.Count("/s:Envelope") == 0;
       }},
      {"redirect", CURLE_OK, 200, "text/xml; charset=utf-8",
       [](const HttpResult& r) { return r.redirects == 1 && XmlQuery(r.body).Count(kHits) == 1; }},
      {"redirect-loop", CURLE_TOO_MANY_REDIRECTS, 307, "", nullptr},
      {"truncated", CURLE_PARTIAL_FILE, 200, "text/xml; charset=utf-8", nullptr},
      {"stall", CURLE_OPERATION_TIMEDOUT, 0, "", nullptr},
      {"latency:400", CURLE_OK, 200, "text/xml; charset=utf-8",
       [](const HttpResult& r) { return r.seconds >= 0.4; }},
      // Every byte of the answer, each after its own pause.
      {"trickle:1", CURLE_OK, 200, "text/xml; charset=utf-8",
       [](const HttpResult& r) {
         return XmlQuery(r.body).Count(kHits) == 1 &&
                r.seconds >= 0.001 * static_cast<double>(r.body.size() - 1);
       }},
      {"trickle:20", CURLE_OPERATION_TIMEDOUT, 200, "text/xml; charset=utf-8",
       [](const HttpResult& r) { return !r.body.empty() && r.body.size() < 100; }},
  };
  for (const auto& k : cases) {
    AddFault(std::string("kind=") + k.kind + "&count=1");
    HttpClient c = Client();
    c.FollowRedirects(5);
    c.TimeoutMs(1500);
    const HttpResult r = Search(c, criteria);
    EXPECT_EQ(r.code, k.code) << k.kind << ": " << curl_easy_strerror(r.code);
    EXPECT_EQ(r.status, k.status) << k.kind;
    EXPECT_EQ(r.contentType, k.contentType) << k.kind;
    if (k.holds) {
      EXPECT_TRUE(k.holds(r)) << k.kind << ": " << r.body;
    }
    // Used up: the next request is answered normally.
    const HttpResult next = Search(c, criteria);
    EXPECT_EQ(next.status, 200) << k.kind;
    EXPECT_EQ(XmlQuery(next.body).Count(kHits), 1u) << k.kind;
  }
}

TEST_F(RegisterSimTest, AFaultForOneRecordLeavesTheOthersAlone) {
  const auto& other = data_->At(2);
  const CalendarDate day = data_->BusyDays(2).front();
  AddFault("kind=http-503&count=2&key=" + Rich().NIP);
  AddFault("kind=soap-fault&count=always&key=" + DayText(day));
  AddFault("kind=empty&count=1&key=" + other.NumerReferencyjny());
  HttpClient c = Client();
  EXPECT_EQ(Search(c, Criterion("NIP", other.NIP)).status, 200);
  EXPECT_EQ(Search(c, Criterion("NIP", Rich().NIP)).status, 503);
  EXPECT_EQ(Search(c, Criterion("NIP", Rich().NIP)).status, 503);
  EXPECT_EQ(Search(c, Criterion("NIP", Rich().NIP)).status, 200);
  for (int i = 0; i < 2; ++i)
    EXPECT_EQ(Search(c, DayCriteria(DayText(day), DayText(day))).status, 500);
  EXPECT_EQ(Fetch(c, other.NumerReferencyjny()).body, "");
  EXPECT_EQ(Fetch(c, other.NumerReferencyjny()).status, 200);
}

TEST_F(RegisterSimTest, RejectsAnUnknownFaultKind) {
  EXPECT_EQ(Client().PostForm(sim_->Origin() + "/_sim/fault", "kind=meteor&count=1").status, 400);
  EXPECT_EQ(Client().PostForm(sim_->Origin() + "/_sim/fault", "kind=empty&count=0").status, 400);
}

TEST_F(RegisterSimTest, CountsRequestsAndConnectionsSoKeepAliveShows) {
  {
    HttpClient kept = Client();
    for (int i = 0; i < 5; ++i) ASSERT_EQ(Search(kept, Criterion("NIP", Rich().NIP)).status, 200);
    EXPECT_EQ(Stats(), std::make_pair(5, 1));
  }
  for (int i = 0; i < 2; ++i) {
    HttpClient fresh = Client();
    ASSERT_EQ(Fetch(fresh, Rich().NumerReferencyjny()).status, 200);
  }
  EXPECT_EQ(Stats(), std::make_pair(7, 3));
}

TEST_F(RegisterSimTest, AnIdleConnectionIsClosedAfterTheKeepAliveTimeout) {
  const struct {
    const char* timeoutMs;
    int connections;  // for two requests 200 ms apart
  } cases[] = {{"0", 2}, {"3000", 1}};
  for (const auto& k : cases) {
    auto sim = Start({"--keep-alive-timeout-ms", k.timeoutMs});
    HttpClient c = Client();
    for (int i = 0; i < 2; ++i) {
      if (i > 0) std::this_thread::sleep_for(std::chrono::milliseconds(200));
      EXPECT_EQ(Search(c, Criterion("NIP", Rich().NIP), *sim).status, 200) << k.timeoutMs;
    }
    const std::string stats = Client().Get(sim->Origin() + "/_sim/stats").body;
    EXPECT_NE(stats.find("\"connections\":" + std::to_string(k.connections) + ","),
              std::string::npos)
        << k.timeoutMs << ": " << stats;
  }
}

TEST_F(RegisterSimTest, ServiceTimeHoldsTheInjectedLatencyAndNoMoreThanTheClientWaited) {
  EXPECT_EQ(ServiceMs(), 0.0);
  AddFault("kind=latency:300&count=1");
  HttpClient c = Client();
  const HttpResult slow = Search(c, Criterion("NIP", Rich().NIP));
  const HttpResult quick = Search(c, Criterion("NIP", Rich().NIP));
  ASSERT_EQ(slow.status, 200);
  ASSERT_EQ(quick.status, 200);
  const double served = ServiceMs();
  EXPECT_GE(served, 300.0);
  EXPECT_LE(served, (slow.seconds + quick.seconds) * 1000.0);
}

// The names a TLS client is offered as the accepted issuers of client certificates.
std::vector<std::string> OfferedIssuers(int port) {
  std::unique_ptr<SSL_CTX, decltype(&SSL_CTX_free)> ctx(SSL_CTX_new(TLS_client_method()),
                                                        SSL_CTX_free);
  SSL_CTX_set_client_cert_cb(ctx.get(), [](SSL* ssl, X509**, EVP_PKEY**) {
    auto* names = static_cast<std::vector<std::string>*>(SSL_get_app_data(ssl));
    const STACK_OF(X509_NAME)* issuers = SSL_get_client_CA_list(ssl);
    for (int i = 0; i < sk_X509_NAME_num(issuers); ++i) {
      char text[256];
      names->push_back(X509_NAME_oneline(sk_X509_NAME_value(issuers, i), text, sizeof text));
    }
    return 0;
  });
  std::vector<std::string> names;
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
    std::unique_ptr<SSL, decltype(&SSL_free)> ssl(SSL_new(ctx.get()), SSL_free);
    SSL_set_app_data(ssl.get(), &names);
    SSL_set_fd(ssl.get(), fd);
    SSL_connect(ssl.get());
  }
  close(fd);
  return names;
}

TEST_F(RegisterSimTest, DemandsAClientCertificateFromTheConfiguredIssuer) {
  const PkiFiles& f = pki_->Files();
  const struct {
    const char* name;
    std::string certificate, key;
    bool served;
  } cases[] = {
      {"none", "", "", false},
      {"from another issuer", f.strangerCertificate, f.strangerKey, false},
      {"from the configured issuer", f.clientCertificate, f.clientKey, true},
  };
  for (const auto& k : cases) {
    HttpClient c;
    c.Tls({f.caCertificate, k.certificate, k.key});
    const HttpResult r = Search(c, Criterion("NIP", Rich().NIP));
    EXPECT_EQ(r.code == CURLE_OK, k.served) << k.name << ": " << curl_easy_strerror(r.code);
    EXPECT_EQ(r.status, k.served ? 200 : 0) << k.name;
  }
  const auto issuers = OfferedIssuers(sim_->Port());
  ASSERT_EQ(issuers.size(), 1u);
  EXPECT_NE(issuers.front().find("CN=GITD SUB03 CA"), std::string::npos) << issuers.front();
}

TEST_F(RegisterSimTest, SameSeedServesTheSameBytesAndStopsCleanlyOnSignals) {
  auto twin = Start({});
  HttpClient a = Client();
  HttpClient b = Client();
  const CalendarDate day = data_->BusyDays(3).front();
  for (const auto& request : {SearchRequest(DayCriteria(DayText(day), DayText(day))),
                              FetchRequest(Rich().NumerReferencyjny())}) {
    const std::string operation = request.find("Pobierz") != std::string::npos
                                      ? "PobierzPrzedsiebiorce"
                                      : "WyszukajPrzedsiebiorce";
    const HttpResult first = Call(a, operation, request);
    EXPECT_EQ(first.status, 200);
    EXPECT_EQ(first.body, Call(b, operation, request, *twin).body);
  }
  EXPECT_EQ(twin->Stop(SIGINT), 0);
}

TEST_F(RegisterSimTest, CommandLineFaultsAndSeededRandomFaultsRepeat) {
  const std::string target = data_->At(3).NIP;
  const std::vector<std::string> options{"--fault",       target + "=http-503", "--fault-rate",
                                         "0.5",           "--fault-seed",       "3",
                                         "--fault-kinds", "soap-fault"};
  const auto run = [&] {
    auto sim = Start(options);
    HttpClient c = Client();
    std::vector<long> statuses;
    for (int i = 0; i < 2; ++i) EXPECT_EQ(Search(c, Criterion("NIP", target), *sim).status, 503);
    for (int i = 0; i < 16; ++i)
      statuses.push_back(Search(c, Criterion("NIP", Rich().NIP), *sim).status);
    return statuses;
  };
  const std::vector<long> first = run();
  EXPECT_EQ(run(), first);
  EXPECT_EQ(
      std::count(first.begin(), first.end(), 500) + std::count(first.begin(), first.end(), 200),
      16);
  EXPECT_GT(std::count(first.begin(), first.end(), 500), 2);
  EXPECT_GT(std::count(first.begin(), first.end(), 200), 2);
}

}  // namespace
}  // namespace zelvor::test
