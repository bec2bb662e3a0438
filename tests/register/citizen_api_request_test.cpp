// The exact request documents of CitizenApi's operations.
#include <gtest/gtest.h>

#include "register/citizen_api.h"
#include "register/citizen_api_messages.h"
#include "soap/type_registry.h"
#include "support/canonical_xml.h"

namespace zelvor::reg {
namespace {

using zelvor::test::CanonicalXml;
using zelvor::test::Fill;

constexpr const char* kEnvelopeStart =
    "<?xml version=\"1.0\"?>\n"
    R"(<SOAP-ENV:Envelope xmlns:SOAP-ENV="http://schemas.xmlsoap.org/soap/envelope/" )"
    R"(xmlns:xsd="http://www.w3.org/2001/XMLSchema" )"
    R"(xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance"><SOAP-ENV:Body>)";
constexpr const char* kEnvelopeEnd = "</SOAP-ENV:Body></SOAP-ENV:Envelope>";

std::string Expected(const std::string& body) {
  return Fill(Fill(kEnvelopeStart + body + kEnvelopeEnd, "{TNS}", TypesNamespace()), "{NS}",
              InterfaceNamespace());
}

std::string SearchBody(const std::string& parameters) {
  return R"(<WyszukajPrzedsiebiorce xmlns="{NS}"><parametryWyszukiwaniaPrzedsiebiorcow>)" +
         parameters + "</parametryWyszukiwaniaPrzedsiebiorcow></WyszukajPrzedsiebiorce>";
}

TEST(CitizenApiRequest, SearchWithOnlyNipIsExactlyThisDocument) {
  ParametryWyszukiwaniaPrzedsiebiorcowTyp params;
  params.SetNIP("5260250274");
  const std::string written = WriteWyszukajPrzedsiebiorce(params);
  const std::string expected =
      Expected(SearchBody(R"(<NIP xmlns="{TNS}">5260250274</NIP>)")) + "\n";
  // Byte for byte: no redundant namespace declaration, no type attribute, no header.
  EXPECT_EQ(written, expected);
}

struct RequestCase {
  const char* name;
  void (*fill)(ParametryWyszukiwaniaPrzedsiebiorcowTyp&);
  const char* parameters;
};

class SearchRequest : public ::testing::TestWithParam<RequestCase> {};

TEST_P(SearchRequest, WritesTheAssignedCriteriaInFieldOrder) {
  ParametryWyszukiwaniaPrzedsiebiorcowTyp params;
  GetParam().fill(params);
  EXPECT_EQ(CanonicalXml(WriteWyszukajPrzedsiebiorce(params)),
            CanonicalXml(Expected(SearchBody(GetParam().parameters))));
}

INSTANTIATE_TEST_SUITE_P(
    Criteria, SearchRequest,
    ::testing::Values(
        RequestCase{
            "CertificateDates",
            [](ParametryWyszukiwaniaPrzedsiebiorcowTyp& p) {
              // Assigned out of order: the wire follows the field table.
              p.SetDataWydaniaCertyfikatuDo(
                  std::make_unique<TXSDate>(soap::CalendarDate{2024, 12, 4}));
              p.SetDataWydaniaCertyfikatuOd(
                  std::make_unique<TXSDate>(soap::CalendarDate{2024, 1, 31}));
            },
            R"(<DataWydaniaCertyfikatuOd xmlns="{TNS}">2024-01-31</DataWydaniaCertyfikatuOd>)"
            R"(<DataWydaniaCertyfikatuDo xmlns="{TNS}">2024-12-04</DataWydaniaCertyfikatuDo>)"},
        RequestCase{"EmptyPermitScopeList",
                    [](ParametryWyszukiwaniaPrzedsiebiorcowTyp& p) {
                      p.SetListaZakresowPosiadanychZezwolen({});
                      p.SetFirmaNazwa("");
                    },
                    R"(<FirmaNazwa xmlns="{TNS}"></FirmaNazwa>)"
                    R"(<ListaZakresowPosiadanychZezwolen xmlns="{TNS}"/>)"},
        RequestCase{"AbsentDateAndAddressAreNil",
                    [](ParametryWyszukiwaniaPrzedsiebiorcowTyp& p) {
                      p.SetDataOstatniejModyfikacjiRekorduOd(nullptr);
                      p.SetAdresSiedziby(nullptr);
                    },
                    R"(<AdresSiedziby xmlns="{TNS}" xsi:nil="true"/>)"
                    R"(<DataOstatniejModyfikacjiRekorduOd xmlns="{TNS}" xsi:nil="true"/>)"},
        RequestCase{
            "AddressListsAndLiterals",
            [](ParametryWyszukiwaniaPrzedsiebiorcowTyp& p) {
              p.SetListaZakresowPosiadanychZezwolen(
                  {ZakresZezwoleniaTyp::Rzeczy, ZakresZezwoleniaTyp::Osoby});
              p.SetListaZakresowPosiadanychLicencji({ZakresLicencjiTyp::RzeczyPowyzejTrzyIPolTony});
              p.SetListaKodowKrajowWydaniaCertyfikatu({KrajTyp::PL, KrajTyp::UK});
              auto address = std::make_unique<AdresSiedziby>();
              address->SetListaWojewodztw({WojewodztwoTyp::warmi_sko_mazurskie,
                                           WojewodztwoTyp::kujawsko_pomorskie,
                                           WojewodztwoTyp::lodzkie});
              address->SetMiejscowosc("Łódź & okolice");
              address->SetLokal("");
              p.SetAdresSiedziby(std::move(address));
              p.SetLiczbaWypisowZLicencjiWspolnotowejPowyzejTrzyIPolTonyDo(-12);
            },
            R"(<ListaZakresowPosiadanychZezwolen xmlns="{TNS}">)"
            R"(<ZakresZezwolenia>Rzeczy</ZakresZezwolenia><ZakresZezwolenia>Osoby</ZakresZezwolenia>)"
            R"(</ListaZakresowPosiadanychZezwolen>)"
            R"(<ListaZakresowPosiadanychLicencji xmlns="{TNS}">)"
            R"(<ZakresLicencji>RzeczyPowyzejTrzyIPolTony</ZakresLicencji>)"
            R"(</ListaZakresowPosiadanychLicencji>)"
            R"(<ListaKodowKrajowWydaniaCertyfikatu xmlns="{TNS}"><Kraj>PL</Kraj><Kraj>UK</Kraj>)"
            R"(</ListaKodowKrajowWydaniaCertyfikatu>)"
            R"(<AdresSiedziby xmlns="{TNS}"><ListaWojewodztw>)"
            R"(<Wojewodztwo>warmińsko-mazurskie</Wojewodztwo>)"
            R"(<Wojewodztwo>kujawsko-pomorskie</Wojewodztwo>)"
            R"(<Wojewodztwo>łódzkie</Wojewodztwo></ListaWojewodztw>)"
            R"(<Miejscowosc>Łódź &amp; okolice</Miejscowosc><Lokal/></AdresSiedziby>)"
            R"(<LiczbaWypisowZLicencjiWspolnotowejPowyzejTrzyIPolTonyDo xmlns="{TNS}">-12)"
            R"(</LiczbaWypisowZLicencjiWspolnotowejPowyzejTrzyIPolTonyDo>)"}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(CitizenApiRequest, DetailsRequestWrapsTheReferenceNumberInTheInterfaceNamespace) {
  EXPECT_EQ(CanonicalXml(WritePobierzPrzedsiebiorce("P/2019/00012345")),
            CanonicalXml(Expected(R"(<PobierzPrzedsiebiorce xmlns="{NS}">)"
                                  R"(<numerReferencyjny>P/2019/00012345</numerReferencyjny>)"
                                  R"(</PobierzPrzedsiebiorce>)")));
}

TEST(CitizenApiRequest, ActionsAreTheInterfaceNamespaceAndOperation) {
  RegisterCitizenApi();
  const soap::InterfaceInfo& api = soap::InvokeRegistry::Instance().Interface("CitizenApi");
  EXPECT_EQ(api.SoapAction(api.Operation("WyszukajPrzedsiebiorce")),
            InterfaceNamespace() + "/#WyszukajPrzedsiebiorce");
  EXPECT_EQ(api.SoapAction(api.Operation("PobierzPrzedsiebiorce")),
            InterfaceNamespace() + "/#PobierzPrzedsiebiorce");
}

TEST(CitizenApiRegistration, FaultTypesAreInTheInterfaceNamespaceAndTheRestInTheTypes) {
  RegisterCitizenApi();
  const soap::TypeRegistry& types = soap::TypeRegistry::Instance();
  struct Expected {
    const soap::XmlTypeName* registered;
    std::string ns;
    std::string name;
  };
  const Expected cases[] = {
      {types.Find(SzczegolyBledu::StaticType()), InterfaceNamespace(), "SzczegolyBledu"},
      {types.Find(BladStruktury::StaticType()), InterfaceNamespace(), "BladStruktury"},
      {types.Find(soap::EnumTypeOf<KodBledu>()), InterfaceNamespace(), "KodBledu"},
      {types.FindSimple("ListaBledowStruktury"), InterfaceNamespace(), "ListaBledowStruktury"},
      {types.Find(PrzedsiebiorcaSzczegoloweDaneWyszukaneTyp::StaticType()), TypesNamespace(),
       "PrzedsiebiorcaSzczegoloweDaneWyszukaneTyp"},
      {types.Find(soap::EnumTypeOf<StatusLicencjiTyp>()), TypesNamespace(), "StatusLicencjiTyp"},
      {types.FindSimple("NumerNIPTyp"), TypesNamespace(), "NumerNIPTyp"},
      {types.FindSimple("ListaWojewodztwTyp"), TypesNamespace(), "ListaWojewodztwTyp"},
  };
  for (const Expected& expected : cases) {
    ASSERT_NE(expected.registered, nullptr) << expected.name;
    EXPECT_EQ(expected.registered->ns, expected.ns) << expected.name;
    EXPECT_EQ(expected.registered->name, expected.name);
  }
  EXPECT_EQ(types.FindRecord(InterfaceNamespace(), "SzczegolyBledu"),
            &SzczegolyBledu::StaticType());
}

}  // namespace
}  // namespace zelvor::reg
