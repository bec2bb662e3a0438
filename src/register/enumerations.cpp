#include "register/enumerations.h"

namespace zelvor::soap {

// A value whose symbolic name is its wire literal.
#define ZELVOR_SAME(text) \
  { text, text }

template <>
const EnumType& EnumTypeOf<reg::KodBledu>() {
  static const EnumType type("KodBledu",
                             {ZELVOR_SAME("NiepoprawnyArgumentOperacji"), ZELVOR_SAME("BrakDanych"),
                              ZELVOR_SAME("WewnetrznyBladSerwera"), ZELVOR_SAME("DuplikacjaDanych"),
                              ZELVOR_SAME("StrukturaKomunikatu"), ZELVOR_SAME("BrakUprawnien")});
  return type;
}

template <>
const EnumType& EnumTypeOf<reg::RodzajCertyfikatuTyp>() {
  static const EnumType type(
      "RodzajCertyfikatuTyp",
      {{"krajowy_transport_drogowy_os_b", "krajowy transport drogowy osób"},
       {"krajowy_transport_drogowy_rzeczy", "krajowy transport drogowy rzeczy"},
       {"mi_dzynarodowy_transport_drogowy_os_b", "międzynarodowy transport drogowy osób"},
       {"mi_dzynarodowy_transport_drogowy_rzeczy", "międzynarodowy transport drogowy rzeczy"},
       {"certyfikat_kompetencji_zawodowych_w_drogowym_transporcie_os_b",
        "certyfikat kompetencji zawodowych w drogowym transporcie osób"},
       {"certyfikat_kompetencji_zawodowych_w_drogowym_transporcie_rzeczy",
        "certyfikat kompetencji zawodowych w drogowym transporcie rzeczy"}});
  return type;
}

template <>
const EnumType& EnumTypeOf<reg::ZakresZezwoleniaTyp>() {
  static const EnumType type("ZakresZezwoleniaTyp", {ZELVOR_SAME("Osoby"), ZELVOR_SAME("Rzeczy")});
  return type;
}

template <>
const EnumType& EnumTypeOf<reg::StatusZezwoleniaTyp>() {
  static const EnumType type("StatusZezwoleniaTyp",
                             {{"Wa_no___wygas_a", "Ważność wygasła"}, ZELVOR_SAME("Ważne")});
  return type;
}

template <>
const EnumType& EnumTypeOf<reg::StatusWypisuTyp>() {
  static const EnumType type("StatusWypisuTyp", {ZELVOR_SAME("Aktualny"), ZELVOR_SAME("Cofniety")});
  return type;
}

template <>
const EnumType& EnumTypeOf<reg::RodzajWypisuZLicencjiTyp>() {
  static const EnumType type("RodzajWypisuZLicencjiTyp", {ZELVOR_SAME("PonizejTrzyIPolTony"),
                                                          ZELVOR_SAME("PowyzejTrzyIPolTony")});
  return type;
}

template <>
const EnumType& EnumTypeOf<reg::ZakresLicencjiTyp>() {
  static const EnumType type("ZakresLicencjiTyp", {ZELVOR_SAME("OsobyPowyzejTrzyIPolTony"),
                                                   ZELVOR_SAME("RzeczyPonizejTrzyIPolTony"),
                                                   ZELVOR_SAME("RzeczyPowyzejTrzyIPolTony")});
  return type;
}

template <>
const EnumType& EnumTypeOf<reg::StatusLicencjiTyp>() {
  static const EnumType type("StatusLicencjiTyp", {ZELVOR_SAME("Zawieszone"),
                                                   ZELVOR_SAME("Wycofane"),
                                                   ZELVOR_SAME("Unieważnione"),
                                                   {"Wa_no___wygas_a", "Ważność wygasła"},
                                                   {"Zgubione_ukradzione", "Zgubione/ukradzione"},
                                                   ZELVOR_SAME("Odesłane"),
                                                   ZELVOR_SAME("Ważne"),
                                                   ZELVOR_SAME("Anulowane")});
  return type;
}

template <>
const EnumType& EnumTypeOf<reg::KrajTyp>() {
  static const EnumType type(
      "KrajTyp", {ZELVOR_SAME("AT"), ZELVOR_SAME("BE"), ZELVOR_SAME("BG"), ZELVOR_SAME("CH"),
                  ZELVOR_SAME("CY"), ZELVOR_SAME("DK"), ZELVOR_SAME("EE"), ZELVOR_SAME("FI"),
                  ZELVOR_SAME("FR"), ZELVOR_SAME("GR"), ZELVOR_SAME("ES"), ZELVOR_SAME("NL"),
                  ZELVOR_SAME("IE"), ZELVOR_SAME("LT"), ZELVOR_SAME("LU"), ZELVOR_SAME("LV"),
                  ZELVOR_SAME("MT"), ZELVOR_SAME("DE"), ZELVOR_SAME("PL"), ZELVOR_SAME("PT"),
                  ZELVOR_SAME("CZ"), ZELVOR_SAME("RO"), ZELVOR_SAME("SK"), ZELVOR_SAME("SI"),
                  ZELVOR_SAME("SE"), ZELVOR_SAME("HU"), ZELVOR_SAME("UK"), ZELVOR_SAME("IT")});
  return type;
}

template <>
const EnumType& EnumTypeOf<reg::WojewodztwoTyp>() {
  static const EnumType type("WojewodztwoTyp", {ZELVOR_SAME("dolnośląskie"),
                                                {"kujawsko_pomorskie", "kujawsko-pomorskie"},
                                                ZELVOR_SAME("lubelskie"),
                                                ZELVOR_SAME("lubuskie"),
                                                ZELVOR_SAME("łódzkie"),
                                                ZELVOR_SAME("małopolskie"),
                                                ZELVOR_SAME("mazowieckie"),
                                                ZELVOR_SAME("opolskie"),
                                                ZELVOR_SAME("podkarpackie"),
                                                ZELVOR_SAME("podlaskie"),
                                                ZELVOR_SAME("pomorskie"),
                                                ZELVOR_SAME("śląskie"),
                                                ZELVOR_SAME("świętokrzyskie"),
                                                {"warmi_sko_mazurskie", "warmińsko-mazurskie"},
                                                ZELVOR_SAME("wielkopolskie"),
                                                ZELVOR_SAME("zachodniopomorskie")});
  return type;
}

#undef ZELVOR_SAME

}  // namespace zelvor::soap
