// Reading CitizenApi's answers and faults.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "register/citizen_api.h"
#include "register/citizen_api_messages.h"
#include "soap/xml_document.h"
#include "support/canonical_xml.h"

namespace zelvor::reg {
namespace {

using zelvor::test::Fill;

constexpr const char* kSoap11 = "http://schemas.xmlsoap.org/soap/envelope/";
constexpr const char* kSoap12 = "http://www.w3.org/2003/05/soap-envelope";

// An envelope in the given SOAP namespace around the body content; {NS} and {TNS} are the
// register's interface and types namespaces.
std::string Envelope(const std::string& body, const char* soapNs = kSoap11) {
  return Fill(
      Fill(
          Fill(
              R"(<?xml version="1.0" encoding="utf-8"?>)"
              R"(<s:Envelope xmlns:s="{SOAP}" xmlns:i="http://www.w3.org/2001/XMLSchema-instance">)"
              R"(<s:Body>)" +
                  body + "</s:Body></s:Envelope>",
              "{SOAP}", soapNs),
          "{TNS}", TypesNamespace()),
      "{NS}", InterfaceNamespace());
}

std::string SearchAnswer(const std::string& items, const char* returnName) {
  return std::string(R"(<WyszukajPrzedsiebiorceResponse xmlns="{NS}"><)") + returnName +
         R"( xmlns:t="{TNS}">)" + items + "</" + returnName + "></WyszukajPrzedsiebiorceResponse>";
}

constexpr const char* kTwoHits =
    R"(<t:PrzedsiebiorcaDaneWyszukane><t:NumerReferencyjny>P/2019/00012345</t:NumerReferencyjny>)"
    R"(<t:FirmaNazwa>Trans-Pol Sp. z o.o.</t:FirmaNazwa><t:NIP>5260250274</t:NIP>)"
    R"(</t:PrzedsiebiorcaDaneWyszukane>)"
    R"(<t:PrzedsiebiorcaDaneWyszukane><t:FirmaNazwa>Żuraw</t:FirmaNazwa><t:NIP>7740001454</t:NIP>)"
    R"(</t:PrzedsiebiorcaDaneWyszukane>)";

struct SearchCase {
  const char* name;
  std::string answer;
};

class SearchAnswerReads : public ::testing::TestWithParam<SearchCase> {};

TEST_P(SearchAnswerReads, TwoHitsInDocumentOrder) {
  const ListaPrzedsiebiorcowDaneWyszukaneTyp hits = ReadWyszukajPrzedsiebiorce(GetParam().answer);
  ASSERT_EQ(hits.size(), 2u);
  EXPECT_TRUE(hits[0]->NumerReferencyjny_Specified());
  EXPECT_EQ(hits[0]->NumerReferencyjny(), "P/2019/00012345");
  EXPECT_EQ(hits[0]->FirmaNazwa, "Trans-Pol Sp. z o.o.");
  EXPECT_EQ(hits[1]->NIP, "7740001454");
  EXPECT_EQ(hits[1]->FirmaNazwa, "Żuraw");
  EXPECT_FALSE(hits[1]->NumerReferencyjny_Specified());
}

INSTANTIATE_TEST_SUITE_P(
    Envelopes, SearchAnswerReads,
    ::testing::Values(
        SearchCase{"Soap11", Envelope(SearchAnswer(kTwoHits, "listaPrzedsiebiorcowDaneWyszukane"))},
        SearchCase{"Soap12",
                   Envelope(SearchAnswer(kTwoHits, "listaPrzedsiebiorcowDaneWyszukane"), kSoap12)},
        SearchCase{"ReturnNameInOtherCase",
                   Envelope(SearchAnswer(kTwoHits, "LISTAPrzedsiebiorcowDaneWyszukane"))},
        SearchCase{
            "ReturnAmongOtherChildren",
            Envelope(R"(<R xmlns="{NS}"><Info>x</Info><listaPrzedsiebiorcowDaneWyszukane)"
                     R"( xmlns:t="{TNS}">)" +
                     std::string(kTwoHits) + R"(</listaPrzedsiebiorcowDaneWyszukane></R>)")}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(CitizenApiAnswer, SearchWithoutHitsGivesAnEmptyList) {
  EXPECT_THAT(
      ReadWyszukajPrzedsiebiorce(Envelope(SearchAnswer("", "listaPrzedsiebiorcowDaneWyszukane"))),
      ::testing::IsEmpty());
}

TEST(CitizenApiAnswer, DetailsWithoutReturnElementGiveNoRecord) {
  EXPECT_EQ(
      ReadPobierzPrzedsiebiorce(Envelope(
          R"(<PobierzPrzedsiebiorceResponse xmlns="{NS}"><a/><b/></PobierzPrzedsiebiorceResponse>)")),
      nullptr);
}

constexpr const char* kDetails = R"(
<PobierzPrzedsiebiorceResponse xmlns="{NS}">
 <PrzedsiebiorcaSzczegoloweDaneWyszukane xmlns="{TNS}">
  <NumerReferencyjny>P/2019/00012345</NumerReferencyjny>
  <FirmaNazwa>Trans-Pol</FirmaNazwa>
  <NIP>5260250274</NIP>
  <FormaPrawna i:nil="true"/>
  <ListaZarzadzajacyTransportemDaneWyszukane>
   <ZarzadzajacyTransportemDaneWyszukane>
    <Imiona>Jan</Imiona><Nazwisko>Kowalski</Nazwisko><NumerCertyfikatu>C-1</NumerCertyfikatu>
    <RodzajCertyfikatu>międzynarodowy transport drogowy rzeczy</RodzajCertyfikatu>
    <DataWydaniaCertyfikatu>2024-12-04+01:00</DataWydaniaCertyfikatu>
    <KrajWydajacyCertyfikat>UK</KrajWydajacyCertyfikat>
   </ZarzadzajacyTransportemDaneWyszukane>
   <ZarzadzajacyTransportemDaneWyszukane>
    <Nazwisko>Nowak</Nazwisko><NumerCertyfikatu>C-2</NumerCertyfikatu>
    <DataWydaniaCertyfikatu i:nil="1"/><KrajWydajacyCertyfikat>PL</KrajWydajacyCertyfikat>
   </ZarzadzajacyTransportemDaneWyszukane>
  </ListaZarzadzajacyTransportemDaneWyszukane>
  <ListaZezwolenieNaWykonywanieZawoduPrzewoznikaDrogowegoTyp>
   <ZezwolenieNaWykonywanieZawoduPrzewoznikaDrogowegoTyp>
    <Zakres>Rzeczy</Zakres><Numer>Z-9</Numer><StatusZezwolenia>Ważność wygasła</StatusZezwolenia>
    <OrganWydajacy>GITD</OrganWydajacy><DataWydania>2020-02-29</DataWydania>
    <LiczbaPojazdow>7</LiczbaPojazdow><DataCofniecia i:nil="true"/>
   </ZezwolenieNaWykonywanieZawoduPrzewoznikaDrogowegoTyp>
  </ListaZezwolenieNaWykonywanieZawoduPrzewoznikaDrogowegoTyp>
  <ListaLicencjaWspolnotowaTyp>
   <LicencjaWspolnotowaTyp>
    <Zakres>RzeczyPowyzejTrzyIPolTony</Zakres><Numer>L-1</Numer>
    <StatusLicencji>Ważność wygasła</StatusLicencji><PoczatekWaznosci>2019-01-01</PoczatekWaznosci>
   </LicencjaWspolnotowaTyp>
   <LicencjaWspolnotowaTyp>
    <Zakres/><Numer>L-2</Numer><StatusLicencji>Zgubione/ukradzione</StatusLicencji>
    <PoczatekWaznosci>2019-01-02</PoczatekWaznosci><LiczbaPojazdow i:nil="true"/>
   </LicencjaWspolnotowaTyp>
  </ListaLicencjaWspolnotowaTyp>
  <ListaWypisowZLicencjiTyp>
   <Wypis><NumerWypisu>WL-1</NumerWypisu><Status>Cofniety</Status><ZakresLicencji>RzeczyPonizejTrzyIPolTony</ZakresLicencji></Wypis>
   <Wypis><NumerWypisu>WL-2</NumerWypisu><Rodzaj>PowyzejTrzyIPolTony</Rodzaj><Status>Aktualny</Status><ZakresLicencji>RzeczyPowyzejTrzyIPolTony</ZakresLicencji></Wypis>
  </ListaWypisowZLicencjiTyp>
  <ListaWypisowZzezwoleniaTyp>
   <Wypis><ZakresZezwolenia>Osoby</ZakresZezwolenia><NumerWypisu>WZ-1</NumerWypisu><Status>Aktualny</Status></Wypis>
  </ListaWypisowZzezwoleniaTyp>
  <ListaPrzedstawicieliPrawnychTyp>
   <PrzedstawicielPrawny><Imiona>Anna</Imiona><Nazwisko>Zięba</Nazwisko></PrzedstawicielPrawny>
  </ListaPrzedstawicieliPrawnychTyp>
  <Adres>
   <Kraj>PL</Kraj><Wojewodztwo>14</Wojewodztwo><KodPocztowy>00-001</KodPocztowy>
   <Miejscowosc>Warszawa</Miejscowosc><Ulica>Nowy <b>Świat</b></Ulica><Extra>ignored</Extra>
  </Adres>
 </PrzedsiebiorcaSzczegoloweDaneWyszukane>
</PobierzPrzedsiebiorceResponse>)";

TEST(CitizenApiAnswer, DetailsFillEveryListAndKeepAbsentFieldsUnspecified) {
  const auto details = ReadPobierzPrzedsiebiorce(Envelope(kDetails));
  ASSERT_NE(details, nullptr);
  EXPECT_EQ(details->NumerReferencyjny(), "P/2019/00012345");
  EXPECT_EQ(details->NIP, "5260250274");
  // A nil text is the empty text, and present.
  EXPECT_TRUE(details->FormaPrawna_Specified());
  EXPECT_EQ(details->FormaPrawna(), "");

  const auto& managers = details->ListaZarzadzajacyTransportemDaneWyszukane();
  ASSERT_EQ(managers.size(), 2u);
  EXPECT_EQ(managers[0]->RodzajCertyfikatu(),
            RodzajCertyfikatuTyp::mi_dzynarodowy_transport_drogowy_rzeczy);
  ASSERT_NE(managers[0]->DataWydaniaCertyfikatu, nullptr);
  EXPECT_EQ(managers[0]->DataWydaniaCertyfikatu->Text(), "2024-12-04+01:00");
  EXPECT_EQ(managers[0]->DataWydaniaCertyfikatu->Date(), (soap::CalendarDate{2024, 12, 4}));
  EXPECT_EQ(managers[0]->KrajWydajacyCertyfikat, KrajTyp::UK);
  EXPECT_FALSE(managers[1]->Imiona_Specified());
  EXPECT_FALSE(managers[1]->RodzajCertyfikatu_Specified());
  EXPECT_EQ(managers[1]->DataWydaniaCertyfikatu, nullptr);

  const auto& permits = details->ListaZezwolenieNaWykonywanieZawoduPrzewoznikaDrogowegoTyp();
  ASSERT_EQ(permits.size(), 1u);
  EXPECT_EQ(permits[0]->StatusZezwolenia, StatusZezwoleniaTyp::Wa_no___wygas_a);
  EXPECT_EQ(permits[0]->LiczbaPojazdow(), 7);
  EXPECT_FALSE(permits[0]->DataCofniecia_Specified());
  EXPECT_EQ(permits[0]->DataCofniecia(), nullptr);

  const auto& licences = details->ListaLicencjaWspolnotowaTyp();
  ASSERT_EQ(licences.size(), 2u);
  EXPECT_EQ(licences[0]->StatusLicencji, StatusLicencjiTyp::Wa_no___wygas_a);
  EXPECT_EQ(licences[1]->StatusLicencji, StatusLicencjiTyp::Zgubione_ukradzione);
  EXPECT_EQ(licences[1]->Zakres, ZakresLicencjiTyp::OsobyPowyzejTrzyIPolTony);
  EXPECT_TRUE(licences[1]->LiczbaPojazdow_Specified());
  EXPECT_EQ(licences[1]->LiczbaPojazdow(), 0);

  // Both lists of copies use "Wypis" items; the wrapper decides the list.
  const auto& licenceCopies = details->ListaWypisowZLicencjiTyp();
  ASSERT_EQ(licenceCopies.size(), 2u);
  EXPECT_EQ(licenceCopies[0]->Status, StatusWypisuTyp::Cofniety);
  EXPECT_EQ(licenceCopies[1]->NumerWypisu, "WL-2");
  EXPECT_EQ(licenceCopies[1]->Rodzaj(), RodzajWypisuZLicencjiTyp::PowyzejTrzyIPolTony);
  const auto& permitCopies = details->ListaWypisowZzezwoleniaTyp();
  ASSERT_EQ(permitCopies.size(), 1u);
  EXPECT_EQ(permitCopies[0]->NumerWypisu, "WZ-1");

  ASSERT_EQ(details->ListaPrzedstawicieliPrawnychTyp().size(), 1u);
  EXPECT_EQ(details->ListaPrzedstawicieliPrawnychTyp()[0]->Nazwisko, "Zięba");

  const AdresTyp* address = details->Adres().get();
  ASSERT_NE(address, nullptr);
  EXPECT_EQ(address->Wojewodztwo(), "14");
  EXPECT_EQ(address->Miejscowosc, "Warszawa");
  EXPECT_FALSE(address->Powiat_Specified());
}

TEST(CitizenApiAnswer, MarkupInATextFieldIsKeptAsXmlText) {
  const auto details = ReadPobierzPrzedsiebiorce(Envelope(kDetails));
  EXPECT_EQ(details->Adres()->Ulica(), "Nowy <b>Świat</b>");
}

struct ErrorCase {
  const char* name;
  std::string answer;
  std::string message;
};

class SearchAnswerFails : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(SearchAnswerFails, WithItsMessage) {
  try {
    ReadWyszukajPrzedsiebiorce(GetParam().answer);
    FAIL() << "no error";
  } catch (const std::exception& error) {
    EXPECT_THAT(error.what(),
                ::testing::EndsWith(" (" +
                                    Fill(Fill(GetParam().message, "{TNS}", TypesNamespace()),
                                         "{NS}", InterfaceNamespace()) +
                                    ")"));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Errors, SearchAnswerFails,
    ::testing::Values(
        ErrorCase{"RootIsNotAnEnvelope", R"(<Envelope xmlns="urn:other"><Body/></Envelope>)",
                  "DocumentElement http://schemas.xmlsoap.org/soap/envelope/:Envelope expected, "
                  "urn:other:Envelope found"},
        ErrorCase{"EnvelopeWithoutChildren",
                  R"(<s:Envelope xmlns:s="http://schemas.xmlsoap.org/soap/envelope/"/>)",
                  "Invalid SOAP request"},
        ErrorCase{"TwoBodies",
                  Fill(Envelope(SearchAnswer("", "listaPrzedsiebiorcowDaneWyszukane")), "</s:Body>",
                       "</s:Body><s:Body/>"),
                  "Invalid SOAP response"},
        ErrorCase{"TwoHeaders", Fill(Envelope(""), "<s:Body>", "<s:Header/><s:Header/><s:Body>"),
                  "Invalid SOAP response"},
        ErrorCase{
            "MustUnderstandHeader",
            Fill(
                Envelope(""), "<s:Body>",
                R"(<s:Header><h:Session xmlns:h="urn:h" mustUnderstand="TRUE"/></s:Header><s:Body>)"),
            "Soap header Session with attribute 'mustUnderstand' set to true was not handled"},
        ErrorCase{
            "NoReturnElement", Envelope(R"(<Odpowiedz xmlns="{NS}"><a/><b/></Odpowiedz>)"),
            R"(SOAP Response Packet: element matching function return not found, received "<Odpowiedz xmlns="{NS}"><a/><b/></Odpowiedz>")"},
        ErrorCase{
            "UnknownEnumerationLiteral",
            Envelope(
                R"(<R xmlns="{NS}"><listaPrzedsiebiorcowDaneWyszukane>)"
                R"(<PrzedsiebiorcaDaneWyszukane i:type="t:PrzedsiebiorcaSzczegoloweDaneWyszukaneTyp" xmlns:t="{TNS}">)"
                R"(<ListaLicencjaWspolnotowaTyp><L><StatusLicencji>Ważna</StatusLicencji></L>)"
                R"(</ListaLicencjaWspolnotowaTyp></PrzedsiebiorcaDaneWyszukane>)"
                R"(</listaPrzedsiebiorcowDaneWyszukane></R>)"),
            "Invalid property element: Ważna"},
        ErrorCase{
            "NotAnInteger",
            Envelope(
                R"(<R xmlns="{NS}"><listaPrzedsiebiorcowDaneWyszukane>)"
                R"(<PrzedsiebiorcaDaneWyszukane i:type="t:PrzedsiebiorcaSzczegoloweDaneWyszukaneTyp" xmlns:t="{TNS}">)"
                R"(<ListaLicencjaWspolnotowaTyp><L><LiczbaPojazdow>7a</LiczbaPojazdow></L>)"
                R"(</ListaLicencjaWspolnotowaTyp></PrzedsiebiorcaDaneWyszukane>)"
                R"(</listaPrzedsiebiorcowDaneWyszukane></R>)"),
            "'7a' is not a valid integer value"},
        ErrorCase{"NotXml", "<s:Envelope",
                  "XML parse error at line 1: Couldn't find end of Start Tag Envelope line 1"}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(CitizenApiAnswer, AnItemNamingARegisteredSubtypeIsReadAsThatSubtype) {
  const auto hits = ReadWyszukajPrzedsiebiorce(Envelope(
      R"(<R xmlns="{NS}"><listaPrzedsiebiorcowDaneWyszukane>)"
      R"(<PrzedsiebiorcaDaneWyszukane i:type="t:PrzedsiebiorcaSzczegoloweDaneWyszukaneTyp" xmlns:t="{TNS}">)"
      R"(<NIP>1</NIP><FormaPrawna>spółka</FormaPrawna></PrzedsiebiorcaDaneWyszukane>)"
      R"(</listaPrzedsiebiorcowDaneWyszukane></R>)"));
  ASSERT_EQ(hits.size(), 1u);
  const auto* details =
      dynamic_cast<const PrzedsiebiorcaSzczegoloweDaneWyszukaneTyp*>(hits[0].get());
  ASSERT_NE(details, nullptr);
  EXPECT_EQ(details->FormaPrawna(), "spółka");
}

// ---- faults ----

std::string Fault(const std::string& inner) {
  return Envelope("<s:Fault>" + inner + "</s:Fault>");
}

constexpr const char* kRegisterFault =
    R"(<faultcode>s:Client</faultcode><faultstring>Błąd danych</faultstring>)"
    R"(<faultactor>urn:actor</faultactor><detail><SzczegolyBledu xmlns="{NS}">)"
    R"(<KodBledu>BrakDanych</KodBledu><KomunikatBledu>Nie znaleziono</KomunikatBledu>)"
    R"(<ListaBledowStruktury><BladStruktury><Sciezka>/a</Sciezka><Opis>zła</Opis></BladStruktury>)"
    R"(<BladStruktury><Sciezka>/b</Sciezka><Opis>brak</Opis></BladStruktury></ListaBledowStruktury>)"
    R"(</SzczegolyBledu></detail>)";

TEST(CitizenApiFault, RegisterFaultIsRaisedAsSzczegolyBleduWithItsFields) {
  try {
    ReadPobierzPrzedsiebiorce(Fault(kRegisterFault));
    FAIL() << "no fault raised";
  } catch (const SzczegolyBledu& fault) {
    EXPECT_THAT(fault.what(), ::testing::EndsWith(" (Błąd danych)"));
    EXPECT_EQ(fault.FaultCode(), "s:Client");
    EXPECT_EQ(fault.FaultActor(), "urn:actor");
    EXPECT_EQ(fault.KodBledu, KodBledu::BrakDanych);
    EXPECT_EQ(fault.KomunikatBledu, "Nie znaleziono");
    ASSERT_TRUE(fault.ListaBledowStruktury_Specified());
    ASSERT_EQ(fault.ListaBledowStruktury().size(), 2u);
    EXPECT_EQ(fault.ListaBledowStruktury()[1]->Sciezka, "/b");
    EXPECT_EQ(fault.ListaBledowStruktury()[0]->Opis, "zła");
    EXPECT_THAT(fault.FaultDetail(), ::testing::StartsWith("<detail><SzczegolyBledu"));
  }
}

TEST(CitizenApiFault, DetailNamingTheFaultByXsiTypeIsReadFromTheDetail) {
  const std::string inner = Fill(
      "<faultstring>x</faultstring>"
      R"(<detail xmlns:q="{NS}" i:type="q:SzczegolyBledu"><KodBledu>BrakUprawnien</KodBledu></detail>)",
      "{NS}", InterfaceNamespace());
  try {
    ReadWyszukajPrzedsiebiorce(Fault(inner));
    FAIL() << "no fault raised";
  } catch (const SzczegolyBledu& fault) {
    EXPECT_EQ(fault.KodBledu, KodBledu::BrakUprawnien);
    EXPECT_FALSE(fault.ListaBledowStruktury_Specified());
  }
}

struct PlainFaultCase {
  const char* name;
  std::string inner;
  std::string message;
};

class PlainFault : public ::testing::TestWithParam<PlainFaultCase> {};

TEST_P(PlainFault, IsARemotableExceptionWithThisMessage) {
  try {
    ReadWyszukajPrzedsiebiorce(Fault(GetParam().inner));
    FAIL() << "no fault raised";
  } catch (const SzczegolyBledu&) {
    FAIL() << "raised as the register's fault";
  } catch (const soap::ERemotableException& fault) {
    EXPECT_THAT(fault.Message(), ::testing::EndsWith(" (" + GetParam().message + ")"));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Faults, PlainFault,
    ::testing::Values(
        PlainFaultCase{
            "OtherDetail",
            "<faultcode>a:Server</faultcode><faultstring>Internal</faultstring>"
            R"(<detail><Other xmlns="urn:x"><KodBledu>BrakDanych</KodBledu></Other></detail>)",
            "Internal"},
        PlainFaultCase{"EmptyFaultStringTakesTheDetail",
                       R"(<faultstring/><detail><e xmlns="urn:x">oops</e></detail>)",
                       R"(<detail><e xmlns="urn:x">oops</e></detail>)"},
        PlainFaultCase{"NoStringNoDetailTakesTheFault", "<faultcode>c</faultcode>",
                       "<s:Fault><faultcode>c</faultcode></s:Fault>"},
        PlainFaultCase{"LastOccurrenceCounts",
                       "<FaultString>first</FaultString><faultstring>second</faultstring>",
                       "second"}),
    [](const auto& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace zelvor::reg
