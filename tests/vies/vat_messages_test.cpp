// The VAT check service's request documents and answers.
#include "vies/vat_messages.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "soap/remote_errors.h"
#include "soap/xml_document.h"
#include "support/canonical_xml.h"
#include "vies/vat_port_type.h"

namespace zelvor::vies {
namespace {

using ::zelvor::test::CanonicalXml;
using ::zelvor::test::Fill;

std::string Envelope(const std::string& body) {
  return Fill(R"(<?xml version="1.0"?>)"
              R"(<SOAP-ENV:Envelope xmlns:SOAP-ENV="http://schemas.xmlsoap.org/soap/envelope/" )"
              R"(xmlns:xsd="http://www.w3.org/2001/XMLSchema" )"
              R"(xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance"><SOAP-ENV:Body>)" +
                  body + "</SOAP-ENV:Body></SOAP-ENV:Envelope>",
              "{TNS}", TypesNamespace());
}

TEST(VatRequest, ApproxWithRequesterIsTheRecordElementAloneInTheBody) {
  CheckVatApproxRequest request;
  request.countryCode = "IT";
  request.vatNumber = " 00743110157";
  request.SetrequesterVatNumber("0123456789");
  request.SetrequesterCountryCode("PL");
  const std::string written = WriteCheckApproxRequest(request);
  EXPECT_EQ(CanonicalXml(written),
            CanonicalXml(Envelope(R"(<zelvorApprox xmlns="{TNS}"><countryCode>IT</countryCode>)"
                                  R"(<vatNumber> 00743110157</vatNumber>)"
                                  R"(<requesterCountryCode>PL</requesterCountryCode>)"
                                  R"(<requesterVatNumber>0123456789</requesterVatNumber>)"
                                  R"(</zelvorApprox>)")));
  // The children inherit the default namespace declared on the record element.
  EXPECT_THAT(written, ::testing::HasSubstr("<countryCode>IT</countryCode>"));
  EXPECT_THAT(written, ::testing::Not(::testing::HasSubstr("parameters")));
}

TEST(VatRequest, AnEmptyRequesterNumberIsSentAsAnEmptyElement) {
  CheckVatApproxRequest request;
  request.SetrequesterVatNumber("");
  EXPECT_EQ(CanonicalXml(WriteCheckApproxRequest(request)),
            CanonicalXml(Envelope(R"(<zelvorApprox xmlns="{TNS}"><countryCode/><vatNumber/>)"
                                  R"(<requesterVatNumber/></zelvorApprox>)")));
}

TEST(VatRequest, CheckRequestHoldsCountryAndNumber) {
  CheckVatRequest request;
  request.countryCode = "DE";
  request.vatNumber = "129273398";
  EXPECT_EQ(CanonicalXml(WriteCheckRequest(request)),
            CanonicalXml(Envelope(R"(<zelvor xmlns="{TNS}"><countryCode>DE</countryCode>)"
                                  R"(<vatNumber>129273398</vatNumber></zelvor>)")));
}

std::string Answer(const std::string& record) {
  return Fill(R"(<env:Envelope xmlns:env="http://schemas.xmlsoap.org/soap/envelope/"><env:Body>)" +
                  record + "</env:Body></env:Envelope>",
              "{TNS}", TypesNamespace());
}

TEST(VatAnswer, ApproxAnswerFillsPresentFieldsAndLeavesTheRestUnspecified) {
  const auto answer = ReadCheckApproxAnswer(Answer(
      R"(<ns2:CheckVatApproxResponse xmlns:ns2="{TNS}"><ns2:countryCode>IT</ns2:countryCode>)"
      R"(<ns2:vatNumber>00743110157</ns2:vatNumber><ns2:requestDate>2024-12-04+01:00</ns2:requestDate>)"
      R"(<ns2:valid>TRUE</ns2:valid><ns2:traderName>Ditta &amp; C.</ns2:traderName>)"
      R"(<ns2:traderNameMatch>2</ns2:traderNameMatch><ns2:requestIdentifier>WAPIAAAA</ns2:requestIdentifier>)"
      R"(</ns2:CheckVatApproxResponse>)"));
  ASSERT_NE(answer, nullptr);
  EXPECT_TRUE(answer->valid);
  ASSERT_NE(answer->requestDate, nullptr);
  EXPECT_EQ(answer->requestDate->Text(), "2024-12-04+01:00");
  EXPECT_EQ(answer->requestDate->Date(), (soap::CalendarDate{2024, 12, 4}));
  EXPECT_EQ(answer->traderName(), "Ditta & C.");
  EXPECT_TRUE(answer->traderNameMatch_Specified());
  EXPECT_EQ(answer->traderNameMatch(), matchCode::_2);
  EXPECT_FALSE(answer->traderAddress_Specified());
  EXPECT_EQ(answer->traderAddress(), "");
  EXPECT_FALSE(answer->traderCityMatch_Specified());
  EXPECT_EQ(answer->requestIdentifier, "WAPIAAAA");
}

TEST(VatAnswer, AnUnknownMatchCodeIsRejected) {
  try {
    ReadCheckApproxAnswer(Answer(R"(<r xmlns="{TNS}"><traderCityMatch>4</traderCityMatch></r>)"));
    FAIL() << "no error";
  } catch (const soap::EConvertError& error) {
    EXPECT_THAT(error.what(), ::testing::EndsWith(" (Invalid property element: 4)"));
  }
}

TEST(VatAnswer, CheckAnswerFillsNameFromItsWireName) {
  const auto answer = ReadCheckAnswer(Answer(
      R"(<CheckVatResponse xmlns="{TNS}"><countryCode>DE</countryCode><valid>false</valid>)"
      R"(<name>Muster GmbH</name><address i:nil="true" xmlns:i="http://www.w3.org/2001/XMLSchema-instance"/>)"
      R"(</CheckVatResponse>)"));
  ASSERT_NE(answer, nullptr);
  EXPECT_TRUE(answer->name__Specified());
  EXPECT_EQ(answer->name_(), "Muster GmbH");
  EXPECT_TRUE(answer->address_Specified());
  EXPECT_EQ(answer->requestDate, nullptr);
  EXPECT_FALSE(answer->valid);
}

TEST(VatAnswer, SeveralChildrenTakeTheResultOneAndNoneQualifyingGivesNoRecord) {
  const auto answer = ReadCheckAnswer(Answer(
      R"(<Info xmlns="{TNS}"/><Result xmlns="{TNS}"><countryCode>AT</countryCode></Result>)"));
  ASSERT_NE(answer, nullptr);
  EXPECT_EQ(answer->countryCode, "AT");
  EXPECT_EQ(ReadCheckAnswer(Answer(R"(<a xmlns="{TNS}"/><b xmlns="{TNS}"/>)")), nullptr);
}

TEST(VatAnswer, EntitiesAreNeitherFetchedNorExpanded) {
  const std::string answer =
      R"(<?xml version="1.0"?><!DOCTYPE e:Envelope [<!ENTITY secret SYSTEM "file:///etc/hostname">)"
      R"(<!ENTITY a "aaaaaaaaaa"><!ENTITY b "&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;">]>)" +
      Answer(
          R"(<r xmlns="{TNS}"><traderName>&secret;</traderName><traderCity>&b;</traderCity></r>)");
  const auto read = ReadCheckApproxAnswer(answer);
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(read->traderName(), "&secret;");
  EXPECT_EQ(read->traderCity(), "&b;");
}

TEST(VatAnswer, BytesThatDoNotFitTheDeclaredEncodingAreAParseError) {
  const std::string answer = "<?xml version=\"1.0\" encoding=\"UTF-16\"?>\xff\xfe\xd8";
  try {
    ReadCheckAnswer(answer);
    FAIL() << "no error";
  } catch (const soap::EXmlParseError& error) {
    EXPECT_THAT(error.what(), ::testing::HasSubstr(" (XML parse error at line 1: "));
  }
}

TEST(VatAnswer, AFaultIsARemotableExceptionWithItsString) {
  try {
    ReadCheckApproxAnswer(
        Answer("<env:Fault><faultcode>env:Server</faultcode>"
               "<faultstring>MS_UNAVAILABLE</faultstring></env:Fault>"));
    FAIL() << "no fault";
  } catch (const soap::ERemotableException& fault) {
    EXPECT_THAT(fault.Message(), ::testing::EndsWith(" (MS_UNAVAILABLE)"));
    EXPECT_EQ(fault.FaultCode(), "env:Server");
  }
}

}  // namespace
}  // namespace zelvor::vies
