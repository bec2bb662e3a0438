#pragma once
// The register's enumerations. Ordinals are the declaration order; the tables in
// enumerations.cpp give each value's symbolic name and wire literal.

#include <cstdint>

#include "soap/enum_type.h"

namespace zelvor::reg {

enum class KodBledu : std::uint8_t {
  NiepoprawnyArgumentOperacji,
  BrakDanych,
  WewnetrznyBladSerwera,
  DuplikacjaDanych,
  StrukturaKomunikatu,
  BrakUprawnien,
};

enum class RodzajCertyfikatuTyp : std::uint8_t {
  krajowy_transport_drogowy_os_b,
  krajowy_transport_drogowy_rzeczy,
  mi_dzynarodowy_transport_drogowy_os_b,
  mi_dzynarodowy_transport_drogowy_rzeczy,
  certyfikat_kompetencji_zawodowych_w_drogowym_transporcie_os_b,
  certyfikat_kompetencji_zawodowych_w_drogowym_transporcie_rzeczy,
};

enum class ZakresZezwoleniaTyp : std::uint8_t { Osoby, Rzeczy };

enum class StatusZezwoleniaTyp : std::uint8_t { Wa_no___wygas_a, Wazne };

enum class StatusWypisuTyp : std::uint8_t { Aktualny, Cofniety };

enum class RodzajWypisuZLicencjiTyp : std::uint8_t { PonizejTrzyIPolTony, PowyzejTrzyIPolTony };

enum class ZakresLicencjiTyp : std::uint8_t {
  OsobyPowyzejTrzyIPolTony,
  RzeczyPonizejTrzyIPolTony,
  RzeczyPowyzejTrzyIPolTony,
};

enum class StatusLicencjiTyp : std::uint8_t {
  Zawieszone,
  Wycofane,
  Uniewaznione,
  Wa_no___wygas_a,
  Zgubione_ukradzione,
  Odeslane,
  Wazne,
  Anulowane,
};

// Not alphabetical: the register's own order.
enum class KrajTyp : std::uint8_t {
  AT,
  BE,
  BG,
  CH,
  CY,
  DK,
  EE,
  FI,
  FR,
  GR,
  ES,
  NL,
  IE,
  LT,
  LU,
  LV,
  MT,
  DE,
  PL,
  PT,
  CZ,
  RO,
  SK,
  SI,
  SE,
  HU,
  UK,
  IT,
};

enum class WojewodztwoTyp : std::uint8_t {
  dolnoslaskie,
  kujawsko_pomorskie,
  lubelskie,
  lubuskie,
  lodzkie,
  malopolskie,
  mazowieckie,
  opolskie,
  podkarpackie,
  podlaskie,
  pomorskie,
  slaskie,
  swietokrzyskie,
  warmi_sko_mazurskie,
  wielkopolskie,
  zachodniopomorskie,
};

}  // namespace zelvor::reg

namespace zelvor::soap {
template <>
const EnumType& EnumTypeOf<reg::KodBledu>();
template <>
const EnumType& EnumTypeOf<reg::RodzajCertyfikatuTyp>();
template <>
const EnumType& EnumTypeOf<reg::ZakresZezwoleniaTyp>();
template <>
const EnumType& EnumTypeOf<reg::StatusZezwoleniaTyp>();
template <>
const EnumType& EnumTypeOf<reg::StatusWypisuTyp>();
template <>
const EnumType& EnumTypeOf<reg::RodzajWypisuZLicencjiTyp>();
template <>
const EnumType& EnumTypeOf<reg::ZakresLicencjiTyp>();
template <>
const EnumType& EnumTypeOf<reg::StatusLicencjiTyp>();
template <>
const EnumType& EnumTypeOf<reg::KrajTyp>();
template <>
const EnumType& EnumTypeOf<reg::WojewodztwoTyp>();
}  // namespace zelvor::soap
