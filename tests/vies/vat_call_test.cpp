// Approximate-check calls (zelvorApprox on the wire) through the transport: the answer's encoding
// comes from the document.
#include <gtest/gtest.h>

#include "support/loopback_server.h"
#include "support/text_encoding.h"
#include "vies/vat_port_type.h"

namespace zelvor::vies {
namespace {

constexpr const char* kTrader = "Zażółć gęślą jaźń Sp. z o.o.";

// The answer document in the given encoding; declared names the encoding in the declaration,
// bom is prefixed as bytes.
std::string AnswerIn(const char* encoding, const char* declared, const std::string& bom) {
  std::string xml = std::string("<?xml version=\"1.0\"") +
                    (declared[0] != '\0' ? std::string(" encoding=\"") + declared + "\"" : "") +
                    "?><e:Envelope xmlns:e=\"http://schemas.xmlsoap.org/soap/envelope/\"><e:Body>"
                    "<CheckVatApproxResponse xmlns=\"" +
                    TypesNamespace() + "\"><valid>true</valid><traderName>" + kTrader +
                    "</traderName></CheckVatApproxResponse></e:Body></e:Envelope>";
  return bom + test::FromUtf8(xml, encoding);
}

struct EncodingCase {
  const char* name;
  std::string body;
};

class VatApproxCall : public ::testing::TestWithParam<EncodingCase> {};

TEST_P(VatApproxCall, ReadsTheAnswerInItsOwnEncoding) {
  ::zelvor::test::LoopbackServer server;
  std::string soapAction;
  server.Http().Post("/svc", [&](const httplib::Request& req, httplib::Response& res) {
    soapAction = req.get_header_value("SOAPAction");
    // The charset here is wrong on purpose: the document decides.
    res.set_content(GetParam().body, "text/xml; charset=utf-8");
  });
  server.Start();

  RegisterVatPortType();
  soap::HttpTransport transport(server.Url("/svc"));
  CheckVatApproxRequest request;
  request.countryCode = "PL";
  const auto answer = transport.As<VatPortType>()->CheckApprox(request);
  ASSERT_NE(answer, nullptr);
  EXPECT_TRUE(answer->valid);
  EXPECT_EQ(answer->traderName(), kTrader);
  EXPECT_EQ(soapAction, "\"\"");
}

INSTANTIATE_TEST_SUITE_P(
    Encodings, VatApproxCall,
    ::testing::Values(EncodingCase{"Utf8", AnswerIn("UTF-8", "", "")},
                      EncodingCase{"Utf16LittleEndianWithBom",
                                   AnswerIn("UTF-16LE", "UTF-16", std::string("\xFF\xFE", 2))},
                      EncodingCase{"Utf16BigEndianWithBom",
                                   AnswerIn("UTF-16BE", "", std::string("\xFE\xFF", 2))},
                      EncodingCase{"Iso88592", AnswerIn("ISO-8859-2", "ISO-8859-2", "")},
                      EncodingCase{"Windows1250", AnswerIn("WINDOWS-1250", "windows-1250", "")}),
    [](const auto& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace zelvor::vies
