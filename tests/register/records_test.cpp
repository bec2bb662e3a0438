#include "register/records.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

namespace zelvor::reg {
namespace {

using soap::FieldInfo;
using soap::FieldKind;
using soap::RecordType;
using testing::ElementsAre;
using testing::IsEmpty;

std::vector<std::string_view> FieldNames(const RecordType& type) {
  std::vector<std::string_view> names;
  for (const FieldInfo& f : type.fields) names.push_back(f.name);
  return names;
}

const std::vector<const RecordType*>& AllRecordTypes() {
  static const std::vector<const RecordType*> types{
      &BladStruktury::StaticType(),
      &SzczegolyBledu::StaticType(),
      &PrzedstawicielPrawnyTyp::StaticType(),
      &AdresSiedziby::StaticType(),
      &PrzedsiebiorcaDaneWyszukaneTyp::StaticType(),
      &AdresTyp::StaticType(),
      &WypisZzezwoleniaTyp::StaticType(),
      &ZarzadzajacyTransportemDaneWyszukaneTyp::StaticType(),
      &ZezwolenieNaWykonywanieZawoduPrzewoznikaDrogowegoTyp::StaticType(),
      &WypisZLicencjiTyp::StaticType(),
      &LicencjaWspolnotowaTyp::StaticType(),
      &PrzedsiebiorcaSzczegoloweDaneWyszukaneTyp::StaticType(),
      &ParametryWyszukiwaniaPrzedsiebiorcowTyp::StaticType()};
  return types;
}

TEST(RecordTables, ANewRecordHasNoSpecifiedFieldAndNoDatesOrRecords) {
  for (const RecordType* type : AllRecordTypes()) {
    const auto record = type->create();
    EXPECT_EQ(&record->Type(), type);
    EXPECT_THAT(soap::SpecifiedOptionalFields(*record), IsEmpty()) << type->name;
    for (const FieldInfo& f : type->fields) {
      switch (f.kind) {
        case FieldKind::Date:
          EXPECT_EQ(f.access->Date(*record), nullptr) << f.name;
          break;
        case FieldKind::Record:
          EXPECT_EQ(f.access->Record(*record), nullptr) << f.name;
          break;
        case FieldKind::Array:
          EXPECT_EQ(f.access->ItemCount(*record), 0u) << f.name;
          break;
        case FieldKind::Enumeration:
          EXPECT_EQ(f.access->Lexical(*record), f.enumType->Literal(0)) << f.name;
          break;
        default:
          break;
      }
    }
  }
}

TEST(RecordTables, OnlyNipSetGivesExactlyTheNipField) {
  ParametryWyszukiwaniaPrzedsiebiorcowTyp params;
  params.SetNIP("5261040828");
  EXPECT_THAT(soap::SpecifiedOptionalFields(params), ElementsAre("NIP"));
  EXPECT_EQ(params.Type().Field("NIP")->access->Lexical(params), "5261040828");
}

// Each setter marks its own field, whatever the value, including empty ones.
TEST(RecordTables, EverySetterMarksItsFieldEvenWithAnEmptyValue) {
  using P = ParametryWyszukiwaniaPrzedsiebiorcowTyp;
  const std::vector<std::pair<std::string_view, std::function<void(P&)>>> setters{
      {"NumerReferencyjny", [](P& p) { p.SetNumerReferencyjny(""); }},
      {"ListaZakresowPosiadanychZezwolen", [](P& p) { p.SetListaZakresowPosiadanychZezwolen({}); }},
      {"NumerCertyfikatuZarzadzajacego", [](P& p) { p.SetNumerCertyfikatuZarzadzajacego(""); }},
      {"ListaKodowKrajowWydaniaCertyfikatu",
       [](P& p) { p.SetListaKodowKrajowWydaniaCertyfikatu({KrajTyp::AT}); }},
      {"DataWydaniaCertyfikatuOd", [](P& p) { p.SetDataWydaniaCertyfikatuOd(nullptr); }},
      {"AdresSiedziby", [](P& p) { p.SetAdresSiedziby(nullptr); }},
      {"LiczbaWypisowZLicencjiWspolnotowejPonizejTrzyIPolTonyDo",
       [](P& p) { p.SetLiczbaWypisowZLicencjiWspolnotowejPonizejTrzyIPolTonyDo(0); }},
      {"DataOstatniejModyfikacjiRekorduDo",
       [](P& p) { p.SetDataOstatniejModyfikacjiRekorduDo(std::make_unique<TXSDate>()); }},
  };
  for (const auto& [name, set] : setters) {
    P params;
    set(params);
    set(params);  // assigning again clears nothing
    EXPECT_THAT(soap::SpecifiedOptionalFields(params), ElementsAre(name));
  }
}

TEST(RecordTables, DetailsListTheBaseFieldsFirst) {
  EXPECT_THAT(
      FieldNames(PrzedsiebiorcaSzczegoloweDaneWyszukaneTyp::StaticType()),
      ElementsAre("NumerReferencyjny", "FirmaNazwa", "NIP", "FormaPrawna",
                  "ListaZarzadzajacyTransportemDaneWyszukane",
                  "ListaZezwolenieNaWykonywanieZawoduPrzewoznikaDrogowegoTyp",
                  "ListaLicencjaWspolnotowaTyp", "ListaWypisowZLicencjiTyp",
                  "ListaWypisowZzezwoleniaTyp", "ListaPrzedstawicieliPrawnychTyp", "Adres"));
  EXPECT_TRUE(PrzedsiebiorcaSzczegoloweDaneWyszukaneTyp::StaticType().DerivesFrom(
      PrzedsiebiorcaDaneWyszukaneTyp::StaticType()));
  EXPECT_EQ(PrzedsiebiorcaSzczegoloweDaneWyszukaneTyp::StaticType().fields[1].declaredBy,
            &PrzedsiebiorcaDaneWyszukaneTyp::StaticType);
}

struct FieldCase {
  const RecordType& type;
  std::string_view field;
  FieldKind kind;
  bool optional;
  FieldKind itemKind;
  std::string_view itemName;
};

TEST(RecordTables, FieldKindsFlagsAndItemNames) {
  using K = FieldKind;
  const auto& details = PrzedsiebiorcaSzczegoloweDaneWyszukaneTyp::StaticType();
  const auto& params = ParametryWyszukiwaniaPrzedsiebiorcowTyp::StaticType();
  const std::vector<FieldCase> cases{
      {SzczegolyBledu::StaticType(), "KodBledu", K::Enumeration, false, K::Text, ""},
      {SzczegolyBledu::StaticType(), "ListaBledowStruktury", K::Array, true, K::Record,
       "BladStruktury"},
      {AdresSiedziby::StaticType(), "ListaWojewodztw", K::Array, true, K::Enumeration,
       "Wojewodztwo"},
      {details, "ListaWypisowZLicencjiTyp", K::Array, true, K::Record, "Wypis"},
      {details, "ListaWypisowZzezwoleniaTyp", K::Array, true, K::Record, "Wypis"},
      {details, "ListaPrzedstawicieliPrawnychTyp", K::Array, true, K::Record,
       "PrzedstawicielPrawny"},
      {details, "Adres", K::Record, true, K::Text, ""},
      {details, "FirmaNazwa", K::Text, false, K::Text, ""},
      {params, "ListaKodowKrajowWydaniaCertyfikatu", K::Array, true, K::Enumeration, "Kraj"},
      {params, "LiczbaWypisowZLicencjiWspolnotowejPowyzejTrzyIPolTonyOd", K::Int64, true, K::Text,
       ""},
      {ZarzadzajacyTransportemDaneWyszukaneTyp::StaticType(), "DataWydaniaCertyfikatu", K::Date,
       false, K::Text, ""},
      {LicencjaWspolnotowaTyp::StaticType(), "LiczbaPojazdow", K::Int32, true, K::Text, ""},
  };
  for (const FieldCase& c : cases) {
    const FieldInfo* f = c.type.Field(c.field);
    ASSERT_NE(f, nullptr) << c.field;
    EXPECT_EQ(f->kind, c.kind) << c.field;
    EXPECT_EQ(f->Optional(), c.optional) << c.field;
    if (c.kind == K::Array) {
      EXPECT_EQ(f->itemKind, c.itemKind) << c.field;
      EXPECT_EQ(f->itemName, c.itemName) << c.field;
    }
  }
  EXPECT_EQ(params.fields.size(), 22u);
  EXPECT_TRUE(SzczegolyBledu::StaticType().isFault);
}

// A reader fills records only through the tables; the typed getters then see the values.
TEST(RecordTables, GenericFillingIsSeenThroughTheTypedAccessors) {
  PrzedsiebiorcaSzczegoloweDaneWyszukaneTyp details;
  const RecordType& type = details.Type();
  type.Field("NIP")->access->SetLexical(details, "5261040828");
  type.Field("ListaLicencjaWspolnotowaTyp")->access->SetEmptyArray(details);
  soap::Remotable& licence =
      type.Field("ListaLicencjaWspolnotowaTyp")->access->AppendRecord(details);
  licence.Type().Field("StatusLicencji")->access->SetLexical(licence, "Zgubione/ukradzione");
  licence.Type().Field("LiczbaPojazdow")->access->SetEmpty(licence);
  licence.Type()
      .Field("PoczatekWaznosci")
      ->access->SetDate(licence, std::make_unique<TXSDate>(TXSDate::FromText("2020-02-29")));
  soap::Remotable& address = type.Field("Adres")->access->NewRecord(details);
  address.Type().Field("Miejscowosc")->access->SetLexical(address, "Łódź");

  EXPECT_EQ(details.NIP, "5261040828");
  ASSERT_EQ(details.ListaLicencjaWspolnotowaTyp().size(), 1u);
  const LicencjaWspolnotowaTyp& l = *details.ListaLicencjaWspolnotowaTyp()[0];
  EXPECT_EQ(l.StatusLicencji, StatusLicencjiTyp::Zgubione_ukradzione);
  EXPECT_TRUE(l.LiczbaPojazdow_Specified());
  EXPECT_EQ(l.LiczbaPojazdow(), 0);
  EXPECT_EQ(l.PoczatekWaznosci->Text(), "2020-02-29");
  ASSERT_NE(details.Adres(), nullptr);
  EXPECT_EQ(details.Adres()->Miejscowosc, "Łódź");
  EXPECT_THAT(soap::SpecifiedOptionalFields(details),
              ElementsAre("ListaLicencjaWspolnotowaTyp", "Adres"));
}

TEST(RecordTables, ConversionErrorsComeFromTheField) {
  LicencjaWspolnotowaTyp licence;
  const RecordType& type = licence.Type();
  EXPECT_THROW(type.Field("LiczbaPojazdow")->access->SetLexical(licence, "dwa"),
               soap::EConvertError);
  EXPECT_THROW(type.Field("StatusLicencji")->access->SetLexical(licence, "Zgubione"),
               soap::EConvertError);
  EXPECT_FALSE(licence.LiczbaPojazdow_Specified());
}

TEST(SzczegolyBledu, IsRaisedAsItselfThroughTheFaultBase) {
  auto fault = SzczegolyBledu::StaticType().create();
  auto& detail = dynamic_cast<SzczegolyBledu&>(*fault);
  detail.SetMessage("Brak danych");
  detail.KodBledu = KodBledu::BrakDanych;
  detail.SetFaultCode("s:Client");
  soap::ERemotableException& base = detail;
  try {
    base.Raise();
  } catch (const SzczegolyBledu& e) {
    EXPECT_STREQ(e.what(), "Brak danych");
    EXPECT_EQ(e.KodBledu, KodBledu::BrakDanych);
    EXPECT_EQ(e.FaultCode(), "s:Client");
    EXPECT_FALSE(e.ListaBledowStruktury_Specified());
  }
}

}  // namespace
}  // namespace zelvor::reg
