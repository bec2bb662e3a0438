// The two ways of reading an answer: a plain answer is read while it is parsed, and must give
// exactly what reading its parsed tree gives; any other answer must still be read from the
// tree, with the same record or the same error.
#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <typeinfo>

#include "register/citizen_api.h"
#include "register/citizen_api_messages.h"
#include "soap/envelope_reader.h"
#include "soap/polish_messages.h"
#include "soap/soap_call.h"
#include "soap/streamed_answer_reader.h"
#include "soap/xml_document.h"
#include "support/canonical_xml.h"
#include "support/text_encoding.h"

namespace zelvor::reg {
namespace {

using zelvor::test::Fill;

// Every field of a record as text, unspecified optional fields marked "-".
std::string Dump(const soap::Remotable* record) {
  if (record == nullptr) return "null";
  std::string out = std::string(record->Type().name) + "{";
  for (const soap::FieldInfo& field : record->Type().fields) {
    const soap::FieldAccessor& access = *field.access;
    out += std::string(field.name);
    if (!access.IsSpecified(*record)) {
      out += "-;";
      continue;
    }
    out += "=";
    switch (field.kind) {
      case soap::FieldKind::Date: {
        const soap::TXSDate* date = access.Date(*record);
        out += date == nullptr ? "nil" : date->Text();
        break;
      }
      case soap::FieldKind::Record:
        out += Dump(access.Record(*record));
        break;
      case soap::FieldKind::Array:
        out += "[";
        for (std::size_t i = 0; i < access.ItemCount(*record); ++i) {
          out += field.itemKind == soap::FieldKind::Record ? Dump(access.ItemRecord(*record, i))
                                                           : access.ItemLexical(*record, i);
          out += ",";
        }
        out += "]";
        break;
      default:
        out += access.Lexical(*record);
    }
    out += ";";
  }
  return out + "}";
}

// The record read, or the error raised with its type.
template <class Read>
std::string Outcome(Read read) {
  try {
    return Dump(read().get());
  } catch (const std::exception& error) {
    return std::string("error ") + typeid(error).name() + ": " + error.what();
  }
}

std::string Envelope(const std::string& body) {
  return Fill(Fill(R"(<?xml version="1.0" encoding="utf-8"?>)"
                   R"(<s:Envelope xmlns:s="http://schemas.xmlsoap.org/soap/envelope/")"
                   R"( xmlns:i="http://www.w3.org/2001/XMLSchema-instance"><s:Body>)" +
                       body + "</s:Body></s:Envelope>",
                   "{TNS}", TypesNamespace()),
              "{NS}", InterfaceNamespace());
}

// One answer holding the return elements of both operations, so that each operation reads its
// own and passes over the other.
std::string Answer(const std::string& hits, const std::string& details) {
  return Envelope(R"(<R xmlns="{NS}"><listaPrzedsiebiorcowDaneWyszukane xmlns:t="{TNS}">)" + hits +
                  R"(</listaPrzedsiebiorcowDaneWyszukane>)"
                  R"(<przedsiebiorcaSzczegoloweDaneWyszukane xmlns="{TNS}">)" +
                  details + "</przedsiebiorcaSzczegoloweDaneWyszukane></R>");
}

const std::string kTwoHits =
    R"(<t:PrzedsiebiorcaDaneWyszukane><t:NumerReferencyjny>P/1</t:NumerReferencyjny>)"
    R"(<t:FirmaNazwa>Trans-Pol</t:FirmaNazwa><t:NIP>5260250274</t:NIP></t:PrzedsiebiorcaDaneWyszukane>)"
    R"(<PrzedsiebiorcaDaneWyszukane xmlns="urn:other"><NIP>7740001454</NIP></PrzedsiebiorcaDaneWyszukane>)";

// Every list, nil values of each kind, an empty enumeration, fields out of their order, a
// repeated and an unknown element, comments, blanks, CDATA and references in values.
const std::string kRichAnswer = Answer(kTwoHits, R"(
  <FirmaNazwa>Trans &amp; Spółka <![CDATA[<Żuraw>]]> &#x17B;</FirmaNazwa>
  <NumerReferencyjny>P/2019/00012345</NumerReferencyjny>
  <NIP>5260250274</NIP><NIP>0000000000</NIP>
  <!-- the register's own remark -->
  <FormaPrawna i:nil="true"/>
  <Nieznane><NIP>1</NIP><x:y xmlns:x="urn:x">?</x:y></Nieznane>
  <ListaZarzadzajacyTransportemDaneWyszukane>
    <ZarzadzajacyTransportemDaneWyszukane><Nazwisko>Kowalski</Nazwisko><Imiona>  </Imiona>
      <NumerCertyfikatu>C-1</NumerCertyfikatu>
      <RodzajCertyfikatu>międzynarodowy transport drogowy rzeczy</RodzajCertyfikatu>
      <DataWydaniaCertyfikatu>2024-12-04+01:00</DataWydaniaCertyfikatu>
      <KrajWydajacyCertyfikat>UK</KrajWydajacyCertyfikat></ZarzadzajacyTransportemDaneWyszukane>
    <ZarzadzajacyTransportemDaneWyszukane i:nil="1"><Nazwisko>ignored</Nazwisko></ZarzadzajacyTransportemDaneWyszukane>
    <Inny><Nazwisko>Nowak</Nazwisko><DataWydaniaCertyfikatu i:nil="true"/><KrajWydajacyCertyfikat/></Inny>
  </ListaZarzadzajacyTransportemDaneWyszukane>
  <ListaZezwolenieNaWykonywanieZawoduPrzewoznikaDrogowegoTyp>
    <ZezwolenieNaWykonywanieZawoduPrzewoznikaDrogowegoTyp><Zakres>Rzeczy</Zakres><Numer>Z-9</Numer>
      <StatusZezwolenia>Ważność wygasła</StatusZezwolenia><OrganWydajacy>GITD</OrganWydajacy>
      <DataWydania>2020-02-29</DataWydania><LiczbaPojazdow>+7</LiczbaPojazdow>
      <DataCofniecia i:nil="true"/><PowodZawieszeniaLubWycofania i:nil="TRUE"/>
    </ZezwolenieNaWykonywanieZawoduPrzewoznikaDrogowegoTyp>
  </ListaZezwolenieNaWykonywanieZawoduPrzewoznikaDrogowegoTyp>
  <ListaLicencjaWspolnotowaTyp>
    <LicencjaWspolnotowaTyp><Zakres/><Numer>L-2</Numer><StatusLicencji>Zgubione/ukradzione</StatusLicencji>
      <PoczatekWaznosci>2019-01-02</PoczatekWaznosci><LiczbaPojazdow i:nil="true"/></LicencjaWspolnotowaTyp>
  </ListaLicencjaWspolnotowaTyp>
  <ListaWypisowZLicencjiTyp>
    <Wypis><NumerWypisu>WL-1</NumerWypisu><Status>Cofniety</Status>
      <ZakresLicencji>RzeczyPonizejTrzyIPolTony</ZakresLicencji></Wypis>
    <Wypis i:nil="true"/>
  </ListaWypisowZLicencjiTyp>
  <ListaWypisowZzezwoleniaTyp/>
  <ListaPrzedstawicieliPrawnychTyp i:nil="true"/>
  <Adres><Miejscowosc>Warszawa</Miejscowosc><Kraj>PL</Kraj><Ulica></Ulica><Lokal i:nil="false">3</Lokal></Adres>
)");

// The text in another encoding, its declaration saying so.
std::string Encoded(const std::string& utf8, const char* encoding) {
  const std::string declared =
      Fill(utf8, "encoding=\"utf-8\"", "encoding=\"" + std::string(encoding) + "\"");
  return test::FromUtf8(declared, encoding);
}

// Which operations read the answer while it is parsed.
enum Streamed { kNeither = 0, kSearch = 1, kDetails = 2, kBoth = 3 };

struct AnswerCase {
  const char* name;
  std::string answer;
  Streamed streamed;
};

void PrintTo(const AnswerCase& test, std::ostream* out) {
  *out << test.name;
}

class AnswerReaders : public ::testing::TestWithParam<AnswerCase> {};

template <class Value>
void ExpectReadersAgree(const soap::BoundOperation& operation, const std::string& answer,
                        bool streamed) {
  using Holder = soap::ReturnOf<Value>;
  // Errors worded as ReadAnswer words them.
  const std::string fromTree = Outcome([&] {
    try {
      auto result = Holder::StaticType().create();
      const soap::XmlDocPtr doc = soap::ParseAnswer(answer);
      soap::ReadResponse(doc.get(), *operation.service, *operation.operation, *result);
      return result;
    } catch (...) {
      soap::RethrowAnswerErrorInPolish();
    }
  });
  const std::string read = Outcome([&] {
    return soap::ReadAnswer(answer, *operation.service, *operation.operation, Holder::StaticType());
  });
  EXPECT_EQ(read, fromTree) << operation.operation->name;
  const auto scratch = Holder::StaticType().create();
  EXPECT_EQ(soap::ReadStreamedAnswer(answer, *operation.operation, *scratch), streamed)
      << operation.operation->name;
}

TEST_P(AnswerReaders, GiveWhatTheTreeGives) {
  const AnswerCase& test = GetParam();
  ExpectReadersAgree<ListaPrzedsiebiorcowDaneWyszukaneTyp>(Operations().search, test.answer,
                                                           (test.streamed & kSearch) != 0);
  ExpectReadersAgree<std::unique_ptr<PrzedsiebiorcaSzczegoloweDaneWyszukaneTyp>>(
      Operations().details, test.answer, (test.streamed & kDetails) != 0);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, AnswerReaders,
    ::testing::Values(
        AnswerCase{"Rich", kRichAnswer, kBoth},
        AnswerCase{"Iso88592", Encoded(kRichAnswer, "ISO-8859-2"), kBoth},
        AnswerCase{"Utf16", Encoded(kRichAnswer, "UTF-16"), kBoth},
        AnswerCase{"Empty", Answer("", ""), kBoth},
        AnswerCase{"NilReturns",
                   Envelope(R"(<R><przedsiebiorcaSzczegoloweDaneWyszukane i:nil="true"/>)"
                            R"(<listaPrzedsiebiorcowDaneWyszukane i:nil="true"/></R>)"),
                   kBoth},
        AnswerCase{
            "Soap12ReturnNamesInOtherCase",
            Fill(Fill(Envelope(R"(<R><x/><LISTAprzedsiebiorcowDaneWyszukane xmlns:t="{TNS}">)" +
                               kTwoHits +
                               R"(</LISTAprzedsiebiorcowDaneWyszukane>)"
                               R"(<PRZEDSIEBIORCASzczegoloweDaneWyszukane><NIP>1</NIP>)"
                               R"(</PRZEDSIEBIORCASzczegoloweDaneWyszukane></R><s:Other/>)"),
                      "http://schemas.xmlsoap.org/soap/envelope/",
                      "http://www.w3.org/2003/05/soap-envelope"),
                 "<s:Body>", "<s:Other><s:Body/></s:Other><s:Body>"),
            kBoth},
        // What the tree reader alone reads.
        AnswerCase{"MarkupInAValue", Answer(kTwoHits, "<FirmaNazwa>Nowy <b>Świat</b></FirmaNazwa>"),
                   kSearch},
        AnswerCase{"CommentInAValue", Answer(kTwoHits, "<NIP>1<!-- 2 --></NIP>"), kSearch},
        AnswerCase{"UnknownLiteral",
                   Answer(kTwoHits,
                          "<ListaLicencjaWspolnotowaTyp><L><StatusLicencji>Ważna"
                          "</StatusLicencji><LiczbaPojazdow>x</LiczbaPojazdow></L>"
                          "</ListaLicencjaWspolnotowaTyp><FormaPrawna/>"),
                   kSearch},
        AnswerCase{"ErrorsOutOfFieldOrder",
                   Answer(kTwoHits,
                          "<ListaLicencjaWspolnotowaTyp><L><LiczbaPojazdow>x"
                          "</LiczbaPojazdow><StatusLicencji>Ważna</StatusLicencji></L>"
                          "</ListaLicencjaWspolnotowaTyp>"),
                   kSearch},
        AnswerCase{"BadDate",
                   Answer(kTwoHits,
                          "<Adres/><ListaWypisowZLicencjiTyp><W><DataCofniecia>x"
                          "</DataCofniecia></W></ListaWypisowZLicencjiTyp>"),
                   kSearch},
        AnswerCase{"NamedTypes",
                   Answer(R"(<t:P i:type="t:PrzedsiebiorcaSzczegoloweDaneWyszukaneTyp">)"
                          R"(<t:FormaPrawna>spółka</t:FormaPrawna></t:P>)",
                          R"(<Adres i:type="t:AdresTyp" xmlns:t="{TNS}"><Kraj>PL</Kraj></Adres>)"),
                   kNeither},
        AnswerCase{"NoReturnElements", Envelope("<R><Return><NIP>1</NIP></Return></R>"), kNeither},
        AnswerCase{"Fault",
                   Envelope(R"(<s:Fault><faultcode>s:Client</faultcode><faultstring>Błąd)"
                            R"(</faultstring><detail><SzczegolyBledu xmlns="{NS}"><KodBledu>)"
                            R"(BrakDanych</KodBledu></SzczegolyBledu></detail></s:Fault>)"),
                   kNeither},
        AnswerCase{"Header",
                   Fill(Answer(kTwoHits, ""), "<s:Body>", "<s:Header><h/></s:Header><s:Body>"),
                   kNeither},
        AnswerCase{"HeaderAfterBody",
                   Fill(Answer(kTwoHits, ""), "</s:Body>",
                        R"(</s:Body><s:Header><h xmlns="urn:h" mustUnderstand="1"/></s:Header>)"),
                   kNeither},
        AnswerCase{"TwoBodies", Fill(Answer(kTwoHits, ""), "</s:Body>", "</s:Body><s:Body/>"),
                   kNeither},
        AnswerCase{"UnboundPrefix", Fill(Answer(kTwoHits, ""), "xmlns:t=", "xmlns:u="), kNeither},
        AnswerCase{"NotAnEnvelope", "<Envelope><Body/></Envelope>", kNeither},
        AnswerCase{"Truncated", kRichAnswer.substr(0, kRichAnswer.size() - 20), kNeither},
        AnswerCase{"DtdEntity",
                   Fill(Answer(kTwoHits, "<FirmaNazwa>&e;</FirmaNazwa>"), "?>",
                        R"(?><!DOCTYPE s:Envelope [<!ENTITY e "Żuraw">]>)"),
                   kNeither},
        AnswerCase{"NoBytes", "", kNeither}),
    [](const auto& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace zelvor::reg
