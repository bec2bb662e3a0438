#pragma once
// The register's records. Required fields are public members assigned directly; optional
// fields have a getter, a setter that also marks them specified, and a _Specified query.
// Dates and nested records are owned through unique_ptr: absent until assigned.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "register/enumerations.h"
#include "soap/field_table.h"
#include "soap/remotable.h"
#include "soap/remote_errors.h"
#include "soap/xs_date.h"

namespace zelvor::reg {

using soap::TXSDate;
using DatePtr = std::unique_ptr<TXSDate>;

// The register's named text types are plain text.
using NumerReferencyjnyPrzedsiebiorcyTyp = std::string;
using KodPocztowyTyp = std::string;
using NumerNIPTyp = std::string;
using NumerCertyfikatuTyp = std::string;
using FirmaNazwaTyp = std::string;
using IdentyfikatorWartosciSlownikowejTyp = std::string;
using Napis100ZnakowTyp = std::string;
using ZezwolenieNumerTyp = std::string;
using Napis10ZnakowTyp = std::string;
using LicencjaWspolnotowaNumerTyp = std::string;

class BladStruktury;
class PrzedsiebiorcaDaneWyszukaneTyp;
class ZarzadzajacyTransportemDaneWyszukaneTyp;
class ZezwolenieNaWykonywanieZawoduPrzewoznikaDrogowegoTyp;
class LicencjaWspolnotowaTyp;
class WypisZLicencjiTyp;
class WypisZzezwoleniaTyp;
class PrzedstawicielPrawnyTyp;

using ListaBledowStruktury = std::vector<std::unique_ptr<BladStruktury>>;
using ListaPrzedsiebiorcowDaneWyszukaneTyp =
    std::vector<std::unique_ptr<PrzedsiebiorcaDaneWyszukaneTyp>>;
using ListaZarzadzajacyTransportemDaneWyszukaneTyp =
    std::vector<std::unique_ptr<ZarzadzajacyTransportemDaneWyszukaneTyp>>;
using ListaZezwolenieNaWykonywanieZawoduPrzewoznikaDrogowegoTyp =
    std::vector<std::unique_ptr<ZezwolenieNaWykonywanieZawoduPrzewoznikaDrogowegoTyp>>;
using ListaLicencjaWspolnotowaTyp = std::vector<std::unique_ptr<LicencjaWspolnotowaTyp>>;
using ListaWypisowZLicencjiTyp = std::vector<std::unique_ptr<WypisZLicencjiTyp>>;
using ListaWypisowZzezwoleniaTyp = std::vector<std::unique_ptr<WypisZzezwoleniaTyp>>;
using ListaPrzedstawicieliPrawnychTyp = std::vector<std::unique_ptr<PrzedstawicielPrawnyTyp>>;
using ListaZakresowPosiadanychZezwolenTyp = std::vector<ZakresZezwoleniaTyp>;
using ListaZakresowPosiadanychLicencjiTyp = std::vector<ZakresLicencjiTyp>;
using ListaKrajowTyp = std::vector<KrajTyp>;
using ListaWojewodztwTyp = std::vector<WojewodztwoTyp>;

class BladStruktury : public soap::Remotable {
  ZELVOR_RECORD(BladStruktury)
  std::string Sciezka;
  std::string Opis;
};

// The register's fault detail, raised as the error of a faulted call.
class SzczegolyBledu : public soap::ERemotableException, public soap::Remotable {
  ZELVOR_RECORD(SzczegolyBledu)
  [[noreturn]] void Raise() override;

  reg::KodBledu KodBledu{};
  std::string KomunikatBledu;
  ZELVOR_OPTIONAL_FIELD(reg::ListaBledowStruktury, ListaBledowStruktury)
};

class PrzedstawicielPrawnyTyp : public soap::Remotable {
  ZELVOR_RECORD(PrzedstawicielPrawnyTyp)
  Napis100ZnakowTyp Imiona;
  Napis100ZnakowTyp Nazwisko;
};

class AdresSiedziby : public soap::Remotable {
  ZELVOR_RECORD(AdresSiedziby)
  ZELVOR_OPTIONAL_FIELD(ListaWojewodztwTyp, ListaWojewodztw)
  ZELVOR_OPTIONAL_FIELD(Napis100ZnakowTyp, Miejscowosc)
  ZELVOR_OPTIONAL_FIELD(Napis100ZnakowTyp, KodPocztowy)
  ZELVOR_OPTIONAL_FIELD(Napis100ZnakowTyp, Ulica)
  ZELVOR_OPTIONAL_FIELD(Napis100ZnakowTyp, Budynek)
  ZELVOR_OPTIONAL_FIELD(Napis100ZnakowTyp, Lokal)
};

class PrzedsiebiorcaDaneWyszukaneTyp : public soap::Remotable {
  ZELVOR_RECORD(PrzedsiebiorcaDaneWyszukaneTyp)
  ZELVOR_OPTIONAL_FIELD(NumerReferencyjnyPrzedsiebiorcyTyp, NumerReferencyjny)
  FirmaNazwaTyp FirmaNazwa;
  NumerNIPTyp NIP;
};

class AdresTyp : public soap::Remotable {
  ZELVOR_RECORD(AdresTyp)
  // Country and voivodeship are dictionary identifiers here, not the enumerations.
  IdentyfikatorWartosciSlownikowejTyp Kraj;
  ZELVOR_OPTIONAL_FIELD(IdentyfikatorWartosciSlownikowejTyp, Wojewodztwo)
  ZELVOR_OPTIONAL_FIELD(Napis100ZnakowTyp, Powiat)
  ZELVOR_OPTIONAL_FIELD(Napis100ZnakowTyp, Gmina)
  KodPocztowyTyp KodPocztowy;
  Napis100ZnakowTyp Miejscowosc;
  ZELVOR_OPTIONAL_FIELD(Napis100ZnakowTyp, Ulica)
  ZELVOR_OPTIONAL_FIELD(Napis10ZnakowTyp, Budynek)
  ZELVOR_OPTIONAL_FIELD(Napis10ZnakowTyp, Lokal)
};

class WypisZzezwoleniaTyp : public soap::Remotable {
  ZELVOR_RECORD(WypisZzezwoleniaTyp)
  ZakresZezwoleniaTyp ZakresZezwolenia{};
  Napis10ZnakowTyp NumerWypisu;
  StatusWypisuTyp Status{};
};

class ZarzadzajacyTransportemDaneWyszukaneTyp : public soap::Remotable {
  ZELVOR_RECORD(ZarzadzajacyTransportemDaneWyszukaneTyp)
  ZELVOR_OPTIONAL_FIELD(Napis100ZnakowTyp, Imiona)
  Napis100ZnakowTyp Nazwisko;
  NumerCertyfikatuTyp NumerCertyfikatu;
  ZELVOR_OPTIONAL_FIELD(reg::RodzajCertyfikatuTyp, RodzajCertyfikatu)
  DatePtr DataWydaniaCertyfikatu;
  KrajTyp KrajWydajacyCertyfikat{};
};

class ZezwolenieNaWykonywanieZawoduPrzewoznikaDrogowegoTyp : public soap::Remotable {
  ZELVOR_RECORD(ZezwolenieNaWykonywanieZawoduPrzewoznikaDrogowegoTyp)
  ZakresZezwoleniaTyp Zakres{};
  ZezwolenieNumerTyp Numer;
  reg::StatusZezwoleniaTyp StatusZezwolenia{};
  Napis100ZnakowTyp OrganWydajacy;
  DatePtr DataWydania;
  ZELVOR_OPTIONAL_FIELD(DatePtr, DataZmianyStatusu)
  ZELVOR_OPTIONAL_FIELD(std::int32_t, LiczbaPojazdow)
  ZELVOR_OPTIONAL_FIELD(DatePtr, DataCofniecia)
  ZELVOR_OPTIONAL_FIELD(DatePtr, DataWygasniecia)
  ZELVOR_OPTIONAL_FIELD(DatePtr, DataZawieszenia)
  ZELVOR_OPTIONAL_FIELD(DatePtr, DataWygasnieciaZawieszenia)
  ZELVOR_OPTIONAL_FIELD(Napis100ZnakowTyp, PowodZawieszeniaLubWycofania)
};

class WypisZLicencjiTyp : public soap::Remotable {
  ZELVOR_RECORD(WypisZLicencjiTyp)
  Napis10ZnakowTyp NumerWypisu;
  ZELVOR_OPTIONAL_FIELD(RodzajWypisuZLicencjiTyp, Rodzaj)
  StatusWypisuTyp Status{};
  ZELVOR_OPTIONAL_FIELD(DatePtr, DataCofniecia)
  ZELVOR_OPTIONAL_FIELD(DatePtr, DataWygasnieciaCofniecia)
  reg::ZakresLicencjiTyp ZakresLicencji{};
};

class LicencjaWspolnotowaTyp : public soap::Remotable {
  ZELVOR_RECORD(LicencjaWspolnotowaTyp)
  ZakresLicencjiTyp Zakres{};
  LicencjaWspolnotowaNumerTyp Numer;
  reg::StatusLicencjiTyp StatusLicencji{};
  DatePtr PoczatekWaznosci;
  ZELVOR_OPTIONAL_FIELD(DatePtr, KoniecWaznosci)
  ZELVOR_OPTIONAL_FIELD(DatePtr, DataCofniecia)
  ZELVOR_OPTIONAL_FIELD(DatePtr, DataWygasniecia)
  ZELVOR_OPTIONAL_FIELD(DatePtr, DataZawieszenia)
  ZELVOR_OPTIONAL_FIELD(DatePtr, DataWygasnieciaZawieszenia)
  ZELVOR_OPTIONAL_FIELD(Napis100ZnakowTyp, PowodZawieszeniaLubWycofania)
  ZELVOR_OPTIONAL_FIELD(std::int32_t, LiczbaPojazdow)
};

class PrzedsiebiorcaSzczegoloweDaneWyszukaneTyp : public PrzedsiebiorcaDaneWyszukaneTyp {
  ZELVOR_RECORD(PrzedsiebiorcaSzczegoloweDaneWyszukaneTyp)
  ZELVOR_OPTIONAL_FIELD(Napis100ZnakowTyp, FormaPrawna)
  ZELVOR_OPTIONAL_FIELD(ListaZarzadzajacyTransportemDaneWyszukaneTyp,
                        ListaZarzadzajacyTransportemDaneWyszukane)
  ZELVOR_OPTIONAL_FIELD(reg::ListaZezwolenieNaWykonywanieZawoduPrzewoznikaDrogowegoTyp,
                        ListaZezwolenieNaWykonywanieZawoduPrzewoznikaDrogowegoTyp)
  ZELVOR_OPTIONAL_FIELD(reg::ListaLicencjaWspolnotowaTyp, ListaLicencjaWspolnotowaTyp)
  ZELVOR_OPTIONAL_FIELD(reg::ListaWypisowZLicencjiTyp, ListaWypisowZLicencjiTyp)
  ZELVOR_OPTIONAL_FIELD(reg::ListaWypisowZzezwoleniaTyp, ListaWypisowZzezwoleniaTyp)
  ZELVOR_OPTIONAL_FIELD(reg::ListaPrzedstawicieliPrawnychTyp, ListaPrzedstawicieliPrawnychTyp)
  ZELVOR_OPTIONAL_FIELD(std::unique_ptr<AdresTyp>, Adres)
};

// Every field is optional: a search sends exactly the criteria that were assigned.
class ParametryWyszukiwaniaPrzedsiebiorcowTyp : public soap::Remotable {
  ZELVOR_RECORD(ParametryWyszukiwaniaPrzedsiebiorcowTyp)
  ZELVOR_OPTIONAL_FIELD(NumerReferencyjnyPrzedsiebiorcyTyp, NumerReferencyjny)
  ZELVOR_OPTIONAL_FIELD(FirmaNazwaTyp, FirmaNazwa)
  ZELVOR_OPTIONAL_FIELD(NumerNIPTyp, NIP)
  ZELVOR_OPTIONAL_FIELD(ListaZakresowPosiadanychZezwolenTyp, ListaZakresowPosiadanychZezwolen)
  ZELVOR_OPTIONAL_FIELD(ZezwolenieNumerTyp, NumerZezwoleniaRzeczy)
  ZELVOR_OPTIONAL_FIELD(ZezwolenieNumerTyp, NumerZezwoleniaOsoby)
  ZELVOR_OPTIONAL_FIELD(ListaZakresowPosiadanychLicencjiTyp, ListaZakresowPosiadanychLicencji)
  ZELVOR_OPTIONAL_FIELD(LicencjaWspolnotowaNumerTyp, NumerLicencjiRzeczy)
  ZELVOR_OPTIONAL_FIELD(LicencjaWspolnotowaNumerTyp, NumerLicencjiOsoby)
  ZELVOR_OPTIONAL_FIELD(Napis100ZnakowTyp, ImieZarzadzajacego)
  ZELVOR_OPTIONAL_FIELD(Napis100ZnakowTyp, NazwiskoZarzadzajacego)
  ZELVOR_OPTIONAL_FIELD(NumerCertyfikatuTyp, NumerCertyfikatuZarzadzajacego)
  ZELVOR_OPTIONAL_FIELD(ListaKrajowTyp, ListaKodowKrajowWydaniaCertyfikatu)
  ZELVOR_OPTIONAL_FIELD(DatePtr, DataWydaniaCertyfikatuOd)
  ZELVOR_OPTIONAL_FIELD(DatePtr, DataWydaniaCertyfikatuDo)
  ZELVOR_OPTIONAL_FIELD(std::unique_ptr<reg::AdresSiedziby>, AdresSiedziby)
  ZELVOR_OPTIONAL_FIELD(std::int64_t, LiczbaWypisowZLicencjiWspolnotowejPowyzejTrzyIPolTonyOd)
  ZELVOR_OPTIONAL_FIELD(std::int64_t, LiczbaWypisowZLicencjiWspolnotowejPowyzejTrzyIPolTonyDo)
  ZELVOR_OPTIONAL_FIELD(std::int64_t, LiczbaWypisowZLicencjiWspolnotowejPonizejTrzyIPolTonyOd)
  ZELVOR_OPTIONAL_FIELD(std::int64_t, LiczbaWypisowZLicencjiWspolnotowejPonizejTrzyIPolTonyDo)
  ZELVOR_OPTIONAL_FIELD(DatePtr, DataOstatniejModyfikacjiRekorduOd)
  ZELVOR_OPTIONAL_FIELD(DatePtr, DataOstatniejModyfikacjiRekorduDo)
};

}  // namespace zelvor::reg
