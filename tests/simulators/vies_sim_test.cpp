// vies-sim started as a child process and spoken to over HTTP with libcurl.
#include <gtest/gtest.h>

#include <memory>

#include "jobs/nip_validation.h"
#include "support/http_client.h"
#include "support/sim_process.h"
#include "support/xml_query.h"
#include "vies-sim/synthetic_traders.h"
#include "vies-sim/vies_service.h"

namespace zelvor::test {
namespace {

using sim::SyntheticTraders;

constexpr std::uint64_t kSeed = 5;
const std::string kDate = "2024-12-04+01:00";
const std::string kEmpty = "\"\"";

std::string Request(const std::string& operation, const std::string& fields) {
  return "<?xml version=\"1.0\"?><SOAP-ENV:Envelope "
         "xmlns:SOAP-ENV=\"http://schemas.xmlsoap.org/soap/envelope/\" "
         "xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\"><SOAP-ENV:Body><" +
         operation + " xmlns=\"" + sim::ViesTypesNamespace() + "\">" + fields + "</" + operation +
         "></SOAP-ENV:Body></SOAP-ENV:Envelope>";
}

std::string Field(const std::string& name, const std::string& value) {
  return "<" + name + ">" + value + "</" + name + ">";
}

class ViesSimTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    sim_ = std::make_unique<SimProcess>(
        ViesSimPath(), std::vector<std::string>{"--seed", std::to_string(kSeed), "--request-date",
                                                kDate, "--fault", "DE999999999=soap-fault",
                                                "--fault", "PL5260250995=http-503"});
  }
  static void TearDownTestSuite() {
    EXPECT_EQ(sim_->Stop(), 0);
    sim_.reset();
  }
  static HttpResult Post(const std::string& body) {
    return HttpClient().Post(sim_->Url(), body, &kEmpty);
  }

  static inline std::unique_ptr<SimProcess> sim_;
  const SyntheticTraders traders_{kSeed};
};

TEST_F(ViesSimTest, ApproximateCheckAnswersTheTraderAndMatchesWhatWasGiven) {
  const std::string number = traders_.Numbers("DE", 1, true).front();
  const sim::Trader trader = *traders_.Lookup("DE", number);
  const HttpResult r = Post(Request(
      "zelvorApprox", Field("countryCode", "DE") + Field("vatNumber", number) +
                          Field("traderName", trader.name) + Field("traderCity", "Nirgendwo") +
                          Field("requesterCountryCode", "PL") +
                          Field("requesterVatNumber", "5260250995")));
  ASSERT_EQ(r.status, 200) << r.body;
  EXPECT_EQ(r.contentType, "text/xml; charset=utf-8");
  const XmlQuery q(r.body);
  const std::string a = "/s:Envelope/s:Body/v:zelvorApproxResponse";
  EXPECT_EQ(q.Text(a + "/*[1][self::v:countryCode]"), "DE");
  EXPECT_EQ(q.Text(a + "/*[2][self::v:vatNumber]"), number);
  EXPECT_EQ(q.Text(a + "/*[3][self::v:requestDate]"), kDate);
  EXPECT_EQ(q.Text(a + "/*[4][self::v:valid]"), "true");
  EXPECT_EQ(q.Text(a + "/v:traderName"), trader.name);
  EXPECT_EQ(q.Text(a + "/v:traderAddress"), trader.Address());
  EXPECT_EQ(q.Text(a + "/v:traderNameMatch"), "1");
  EXPECT_EQ(q.Text(a + "/v:traderCityMatch"), "2");
  EXPECT_EQ(q.Count(a + "/v:traderStreetMatch"), 0u);
  EXPECT_EQ(q.Texts(a + "/*[last()][self::v:requestIdentifier]").size(), 1u);
  EXPECT_EQ(q.Text(a + "/v:requestIdentifier").substr(0, 4), "WAPI");
}

TEST_F(ViesSimTest, PlainCheckOfAnUnregisteredNumberIsNotValid) {
  const std::string number = traders_.Numbers("CZ", 1, false).front();
  const XmlQuery q(
      Post(Request("zelvor", Field("countryCode", "CZ") + Field("vatNumber", number))).body);
  const std::string a = "/s:Envelope/s:Body/v:zelvorResponse";
  EXPECT_EQ(q.Text(a + "/v:valid"), "false");
  EXPECT_EQ(q.Text(a + "/v:name"), "---");
  EXPECT_EQ(q.Text(a + "/v:requestDate"), kDate);
}

TEST_F(ViesSimTest, PolishNumbersAreValidByTheirCheckDigit) {
  for (bool valid : {true, false}) {
    for (const std::string& number : traders_.Numbers("PL", 20, valid)) {
      jobs::NipDigits digits{};
      EXPECT_EQ(jobs::IsValidNip(number, digits), valid) << number;
    }
  }
}

TEST_F(ViesSimTest, TradersFollowTheSeed) {
  const SyntheticTraders same(kSeed);
  const SyntheticTraders other(kSeed + 1);
  std::size_t differing = 0;
  for (const std::string& number : traders_.Numbers("FR", 20, true)) {
    EXPECT_EQ(same.Lookup("FR", number)->Address(), traders_.Lookup("FR", number)->Address());
    const auto elsewhere = other.Lookup("FR", number);
    if (!elsewhere || elsewhere->name != traders_.Lookup("FR", number)->name) ++differing;
  }
  EXPECT_GT(differing, 0u);
}

TEST_F(ViesSimTest, FaultsAnswerAsAsked) {
  const struct {
    const char* name;
    std::string body;
    long status;
    const char* faultString;
  } cases[] = {
      {"unknown country",
       Request("zelvor", Field("countryCode", "US") + Field("vatNumber", "123456789")), 500,
       "INVALID_INPUT"},
      {"not XML", "<zelvor>", 500, "INVALID_INPUT"},
      {"fault for one number",
       Request("zelvor", Field("countryCode", "DE") + Field("vatNumber", "999999999")), 500,
       "MS_UNAVAILABLE"},
      {"status for one number",
       Request("zelvorApprox", Field("countryCode", "PL") + Field("vatNumber", "5260250995")), 503,
       ""},
  };
  for (const auto& k : cases) {
    const HttpResult r = Post(k.body);
    EXPECT_EQ(r.status, k.status) << k.name;
    EXPECT_EQ(XmlQuery(r.body).Text("/s:Envelope/s:Body/s:Fault/faultstring"), k.faultString)
        << k.name;
  }
  HttpClient admin;
  ASSERT_EQ(admin.PostForm(sim_->Origin() + "/_sim/fault", "kind=other-fault&count=1").status, 200);
  const HttpResult other =
      Post(Request("zelvor", Field("countryCode", "AT") + Field("vatNumber", "U12345678")));
  EXPECT_EQ(XmlQuery(other.body).Text("/s:Envelope/s:Body/s:Fault/faultstring"),
            "SERVICE_UNAVAILABLE");
}

}  // namespace
}  // namespace zelvor::test
