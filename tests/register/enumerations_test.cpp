#include "register/enumerations.h"

#include <gtest/gtest.h>

#include "soap/remote_errors.h"

namespace zelvor::reg {
namespace {

using soap::EnumType;
using soap::EnumTypeOf;

struct LiteralCase {
  const EnumType& type;
  int ordinal;
  std::string_view symbol;
  std::string_view literal;
};

void PrintTo(const LiteralCase& c, std::ostream* os) {
  *os << c.type.Name() << "[" << c.ordinal << "] " << c.literal;
}

class EnumLiterals : public testing::TestWithParam<LiteralCase> {};

TEST_P(EnumLiterals, MapBothWaysAndTheSymbolReadsToo) {
  const LiteralCase& c = GetParam();
  EXPECT_EQ(c.type.Literal(c.ordinal), c.literal);
  EXPECT_EQ(c.type.Symbol(c.ordinal), c.symbol);
  EXPECT_EQ(c.type.FromLiteral(c.literal), c.ordinal);
  EXPECT_EQ(c.type.FromLiteral(c.symbol), c.ordinal);
  EXPECT_EQ(c.type.FromSymbol(c.symbol), c.ordinal);
  EXPECT_EQ(c.type.Parse(c.literal), c.ordinal);
}

// Every value whose wire literal differs from its symbolic name, plus a few that do not.
INSTANTIATE_TEST_SUITE_P(
    Register, EnumLiterals,
    testing::Values(
        LiteralCase{EnumTypeOf<RodzajCertyfikatuTyp>(), 0, "krajowy_transport_drogowy_os_b",
                    "krajowy transport drogowy osób"},
        LiteralCase{EnumTypeOf<RodzajCertyfikatuTyp>(), 1, "krajowy_transport_drogowy_rzeczy",
                    "krajowy transport drogowy rzeczy"},
        LiteralCase{EnumTypeOf<RodzajCertyfikatuTyp>(), 2, "mi_dzynarodowy_transport_drogowy_os_b",
                    "międzynarodowy transport drogowy osób"},
        LiteralCase{EnumTypeOf<RodzajCertyfikatuTyp>(), 3,
                    "mi_dzynarodowy_transport_drogowy_rzeczy",
                    "międzynarodowy transport drogowy rzeczy"},
        LiteralCase{EnumTypeOf<RodzajCertyfikatuTyp>(), 4,
                    "certyfikat_kompetencji_zawodowych_w_drogowym_transporcie_os_b",
                    "certyfikat kompetencji zawodowych w drogowym transporcie osób"},
        LiteralCase{EnumTypeOf<RodzajCertyfikatuTyp>(), 5,
                    "certyfikat_kompetencji_zawodowych_w_drogowym_transporcie_rzeczy",
                    "certyfikat kompetencji zawodowych w drogowym transporcie rzeczy"},
        LiteralCase{EnumTypeOf<StatusZezwoleniaTyp>(), 0, "Wa_no___wygas_a", "Ważność wygasła"},
        LiteralCase{EnumTypeOf<StatusZezwoleniaTyp>(), 1, "Ważne", "Ważne"},
        LiteralCase{EnumTypeOf<StatusLicencjiTyp>(), 3, "Wa_no___wygas_a", "Ważność wygasła"},
        LiteralCase{EnumTypeOf<StatusLicencjiTyp>(), 4, "Zgubione_ukradzione",
                    "Zgubione/ukradzione"},
        LiteralCase{EnumTypeOf<StatusLicencjiTyp>(), 2, "Unieważnione", "Unieważnione"},
        LiteralCase{EnumTypeOf<StatusLicencjiTyp>(), 5, "Odesłane", "Odesłane"},
        LiteralCase{EnumTypeOf<StatusLicencjiTyp>(), 7, "Anulowane", "Anulowane"},
        LiteralCase{EnumTypeOf<WojewodztwoTyp>(), 1, "kujawsko_pomorskie", "kujawsko-pomorskie"},
        LiteralCase{EnumTypeOf<WojewodztwoTyp>(), 13, "warmi_sko_mazurskie", "warmińsko-mazurskie"},
        LiteralCase{EnumTypeOf<WojewodztwoTyp>(), 4, "łódzkie", "łódzkie"},
        LiteralCase{EnumTypeOf<KrajTyp>(), 18, "PL", "PL"},
        LiteralCase{EnumTypeOf<KrajTyp>(), 27, "IT", "IT"},
        LiteralCase{EnumTypeOf<KodBledu>(), 1, "BrakDanych", "BrakDanych"}));

TEST(EnumLiterals, OrdinalsFollowTheRegisterOrder) {
  EXPECT_EQ(EnumTypeOf<KrajTyp>().Count(), 28);
  EXPECT_EQ(EnumTypeOf<WojewodztwoTyp>().Count(), 16);
  EXPECT_EQ(EnumTypeOf<StatusLicencjiTyp>().Count(), 8);
  EXPECT_EQ(soap::LiteralOf(KrajTyp::UK), "UK");
  EXPECT_EQ(soap::LiteralOf(StatusLicencjiTyp::Anulowane), "Anulowane");
  EXPECT_EQ(soap::LiteralOf(WojewodztwoTyp::zachodniopomorskie), "zachodniopomorskie");
  EXPECT_EQ(soap::LiteralOf(ZakresLicencjiTyp::RzeczyPowyzejTrzyIPolTony),
            "RzeczyPowyzejTrzyIPolTony");
}

TEST(EnumLiterals, EmptyTextIsTheFirstValueAndUnknownTextIsAnError) {
  EXPECT_EQ(EnumTypeOf<StatusLicencjiTyp>().Parse(""), 0);
  // The literal of one enumeration is not a value of another.
  for (const char* text : {"Zgubione_ukradzione ", "ważne", "Zgubione/ukradzione"}) {
    try {
      EnumTypeOf<StatusZezwoleniaTyp>().Parse(text);
      FAIL() << text;
    } catch (const soap::EConvertError& e) {
      EXPECT_EQ(std::string(e.what()), std::string("Invalid property element: ") + text);
    }
  }
}

}  // namespace
}  // namespace zelvor::reg
