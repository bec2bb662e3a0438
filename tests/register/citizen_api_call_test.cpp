// CitizenApi calls through the register transport against a loopback server.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "register/citizen_api.h"
#include "support/canonical_xml.h"
#include "support/loopback_server.h"

namespace zelvor::reg {
namespace {

using zelvor::test::Fill;

class CitizenApiCall : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterCitizenApi();
    server_.Http().Post("/CitizenApi.svc", [this](const httplib::Request& req,
                                                  httplib::Response& res) {
      actions_.push_back(req.get_header_value("SOAPAction"));
      res.status = status_;
      res.set_content(Fill(Fill(answer_, "{TNS}", TypesNamespace()), "{NS}", InterfaceNamespace()),
                      "text/xml; charset=utf-8");
    });
    server_.Start();
    transport_.SetURL(server_.Url("/CitizenApi.svc"));
  }

  zelvor::test::LoopbackServer server_;
  soap::HttpTransport transport_;
  std::vector<std::string> actions_;
  int status_ = 200;
  std::string answer_;
};

TEST_F(CitizenApiCall, SearchAndDetailsSendTheirActionsAndReadTheAnswers) {
  answer_ =
      R"(<s:Envelope xmlns:s="http://schemas.xmlsoap.org/soap/envelope/"><s:Body>)"
      R"(<WyszukajPrzedsiebiorceResponse xmlns="{NS}"><listaPrzedsiebiorcowDaneWyszukane>)"
      R"(<PrzedsiebiorcaDaneWyszukane xmlns="{TNS}"><NumerReferencyjny>P/1</NumerReferencyjny>)"
      R"(<FirmaNazwa>A</FirmaNazwa><NIP>5260250274</NIP></PrzedsiebiorcaDaneWyszukane>)"
      R"(</listaPrzedsiebiorcowDaneWyszukane></WyszukajPrzedsiebiorceResponse></s:Body></s:Envelope>)";
  ParametryWyszukiwaniaPrzedsiebiorcowTyp params;
  params.SetNIP("5260250274");
  const auto hits = transport_.As<CitizenApi>()->WyszukajPrzedsiebiorce(params);
  ASSERT_EQ(hits.size(), 1u);
  EXPECT_EQ(hits[0]->NumerReferencyjny(), "P/1");

  answer_ =
      R"(<s:Envelope xmlns:s="http://schemas.xmlsoap.org/soap/envelope/"><s:Body>)"
      R"(<PobierzPrzedsiebiorceResponse xmlns="{NS}"><przedsiebiorcaSzczegoloweDaneWyszukane>)"
      R"(<FirmaNazwa xmlns="{TNS}">A</FirmaNazwa></przedsiebiorcaSzczegoloweDaneWyszukane>)"
      R"(</PobierzPrzedsiebiorceResponse></s:Body></s:Envelope>)";
  const auto details = transport_.As<CitizenApi>()->PobierzPrzedsiebiorce("P/1");
  ASSERT_NE(details, nullptr);
  EXPECT_EQ(details->FirmaNazwa, "A");

  ASSERT_EQ(actions_.size(), 2u);
  EXPECT_EQ(actions_[0], InterfaceNamespace() + "/#WyszukajPrzedsiebiorce");
  EXPECT_EQ(actions_[1], InterfaceNamespace() + "/#PobierzPrzedsiebiorce");
}

TEST_F(CitizenApiCall, AFaultWithStatus500IsRaisedAsTheRegistersFault) {
  status_ = 500;
  answer_ = R"(<s:Envelope xmlns:s="http://schemas.xmlsoap.org/soap/envelope/"><s:Body><s:Fault>)"
            R"(<faultcode>s:Client</faultcode><faultstring>Brak danych</faultstring><detail>)"
            R"(<SzczegolyBledu xmlns="{NS}"><KodBledu>BrakDanych</KodBledu>)"
            R"(<KomunikatBledu>Nie znaleziono</KomunikatBledu></SzczegolyBledu></detail>)"
            R"(</s:Fault></s:Body></s:Envelope>)";
  try {
    transport_.As<CitizenApi>()->PobierzPrzedsiebiorce("P/404");
    FAIL() << "no fault";
  } catch (const SzczegolyBledu& fault) {
    EXPECT_THAT(fault.what(), ::testing::EndsWith(" (Brak danych)"));
    EXPECT_EQ(fault.KodBledu, KodBledu::BrakDanych);
  }
}

}  // namespace
}  // namespace zelvor::reg
