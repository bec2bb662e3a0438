#include "register/records.h"

namespace zelvor::reg {

using soap::RecordType;
using soap::RecordTypeBuilder;

const RecordType& BladStruktury::StaticType() {
  static const RecordType type = RecordTypeBuilder<BladStruktury>("BladStruktury")
                                     .Required("Sciezka", &BladStruktury::Sciezka)
                                     .Required("Opis", &BladStruktury::Opis)
                                     .Build();
  return type;
}

const RecordType& SzczegolyBledu::StaticType() {
  using R = SzczegolyBledu;
  static const RecordType type = RecordTypeBuilder<R>("SzczegolyBledu")
                                     .Fault()
                                     .Required("KodBledu", &R::KodBledu)
                                     .Required("KomunikatBledu", &R::KomunikatBledu)
                                     .ZELVOR_OPTIONAL(R, ListaBledowStruktury, "BladStruktury")
                                     .Build();
  return type;
}

void SzczegolyBledu::Raise() {
  throw std::move(*this);
}

const RecordType& PrzedstawicielPrawnyTyp::StaticType() {
  using R = PrzedstawicielPrawnyTyp;
  static const RecordType type = RecordTypeBuilder<R>("PrzedstawicielPrawnyTyp")
                                     .Required("Imiona", &R::Imiona)
                                     .Required("Nazwisko", &R::Nazwisko)
                                     .Build();
  return type;
}

const RecordType& AdresSiedziby::StaticType() {
  using R = AdresSiedziby;
  static const RecordType type = RecordTypeBuilder<R>("AdresSiedziby")
                                     .ZELVOR_OPTIONAL(R, ListaWojewodztw, "Wojewodztwo")
                                     .ZELVOR_OPTIONAL(R, Miejscowosc)
                                     .ZELVOR_OPTIONAL(R, KodPocztowy)
                                     .ZELVOR_OPTIONAL(R, Ulica)
                                     .ZELVOR_OPTIONAL(R, Budynek)
                                     .ZELVOR_OPTIONAL(R, Lokal)
                                     .Build();
  return type;
}

const RecordType& PrzedsiebiorcaDaneWyszukaneTyp::StaticType() {
  using R = PrzedsiebiorcaDaneWyszukaneTyp;
  static const RecordType type = RecordTypeBuilder<R>("PrzedsiebiorcaDaneWyszukaneTyp")
                                     .ZELVOR_OPTIONAL(R, NumerReferencyjny)
                                     .Required("FirmaNazwa", &R::FirmaNazwa)
                                     .Required("NIP", &R::NIP)
                                     .Build();
  return type;
}

const RecordType& AdresTyp::StaticType() {
  using R = AdresTyp;
  static const RecordType type = RecordTypeBuilder<R>("AdresTyp")
                                     .Required("Kraj", &R::Kraj)
                                     .ZELVOR_OPTIONAL(R, Wojewodztwo)
                                     .ZELVOR_OPTIONAL(R, Powiat)
                                     .ZELVOR_OPTIONAL(R, Gmina)
                                     .Required("KodPocztowy", &R::KodPocztowy)
                                     .Required("Miejscowosc", &R::Miejscowosc)
                                     .ZELVOR_OPTIONAL(R, Ulica)
                                     .ZELVOR_OPTIONAL(R, Budynek)
                                     .ZELVOR_OPTIONAL(R, Lokal)
                                     .Build();
  return type;
}

const RecordType& WypisZzezwoleniaTyp::StaticType() {
  using R = WypisZzezwoleniaTyp;
  static const RecordType type = RecordTypeBuilder<R>("WypisZzezwoleniaTyp")
                                     .Required("ZakresZezwolenia", &R::ZakresZezwolenia)
                                     .Required("NumerWypisu", &R::NumerWypisu)
                                     .Required("Status", &R::Status)
                                     .Build();
  return type;
}

const RecordType& ZarzadzajacyTransportemDaneWyszukaneTyp::StaticType() {
  using R = ZarzadzajacyTransportemDaneWyszukaneTyp;
  static const RecordType type = RecordTypeBuilder<R>("ZarzadzajacyTransportemDaneWyszukaneTyp")
                                     .ZELVOR_OPTIONAL(R, Imiona)
                                     .Required("Nazwisko", &R::Nazwisko)
                                     .Required("NumerCertyfikatu", &R::NumerCertyfikatu)
                                     .ZELVOR_OPTIONAL(R, RodzajCertyfikatu)
                                     .Required("DataWydaniaCertyfikatu", &R::DataWydaniaCertyfikatu)
                                     .Required("KrajWydajacyCertyfikat", &R::KrajWydajacyCertyfikat)
                                     .Build();
  return type;
}

const RecordType& ZezwolenieNaWykonywanieZawoduPrzewoznikaDrogowegoTyp::StaticType() {
  using R = ZezwolenieNaWykonywanieZawoduPrzewoznikaDrogowegoTyp;
  static const RecordType type =
      RecordTypeBuilder<R>("ZezwolenieNaWykonywanieZawoduPrzewoznikaDrogowegoTyp")
          .Required("Zakres", &R::Zakres)
          .Required("Numer", &R::Numer)
          .Required("StatusZezwolenia", &R::StatusZezwolenia)
          .Required("OrganWydajacy", &R::OrganWydajacy)
          .Required("DataWydania", &R::DataWydania)
          .ZELVOR_OPTIONAL(R, DataZmianyStatusu)
          .ZELVOR_OPTIONAL(R, LiczbaPojazdow)
          .ZELVOR_OPTIONAL(R, DataCofniecia)
          .ZELVOR_OPTIONAL(R, DataWygasniecia)
          .ZELVOR_OPTIONAL(R, DataZawieszenia)
          .ZELVOR_OPTIONAL(R, DataWygasnieciaZawieszenia)
          .ZELVOR_OPTIONAL(R, PowodZawieszeniaLubWycofania)
          .Build();
  return type;
}

const RecordType& WypisZLicencjiTyp::StaticType() {
  using R = WypisZLicencjiTyp;
  static const RecordType type = RecordTypeBuilder<R>("WypisZLicencjiTyp")
                                     .Required("NumerWypisu", &R::NumerWypisu)
                                     .ZELVOR_OPTIONAL(R, Rodzaj)
                                     .Required("Status", &R::Status)
                                     .ZELVOR_OPTIONAL(R, DataCofniecia)
                                     .ZELVOR_OPTIONAL(R, DataWygasnieciaCofniecia)
                                     .Required("ZakresLicencji", &R::ZakresLicencji)
                                     .Build();
  return type;
}

const RecordType& LicencjaWspolnotowaTyp::StaticType() {
  using R = LicencjaWspolnotowaTyp;
  static const RecordType type = RecordTypeBuilder<R>("LicencjaWspolnotowaTyp")
                                     .Required("Zakres", &R::Zakres)
                                     .Required("Numer", &R::Numer)
                                     .Required("StatusLicencji", &R::StatusLicencji)
                                     .Required("PoczatekWaznosci", &R::PoczatekWaznosci)
                                     .ZELVOR_OPTIONAL(R, KoniecWaznosci)
                                     .ZELVOR_OPTIONAL(R, DataCofniecia)
                                     .ZELVOR_OPTIONAL(R, DataWygasniecia)
                                     .ZELVOR_OPTIONAL(R, DataZawieszenia)
                                     .ZELVOR_OPTIONAL(R, DataWygasnieciaZawieszenia)
                                     .ZELVOR_OPTIONAL(R, PowodZawieszeniaLubWycofania)
                                     .ZELVOR_OPTIONAL(R, LiczbaPojazdow)
                                     .Build();
  return type;
}

const RecordType& PrzedsiebiorcaSzczegoloweDaneWyszukaneTyp::StaticType() {
  using R = PrzedsiebiorcaSzczegoloweDaneWyszukaneTyp;
  static const RecordType type =
      RecordTypeBuilder<R>("PrzedsiebiorcaSzczegoloweDaneWyszukaneTyp",
                           &PrzedsiebiorcaDaneWyszukaneTyp::StaticType())
          .ZELVOR_OPTIONAL(R, FormaPrawna)
          .ZELVOR_OPTIONAL(R, ListaZarzadzajacyTransportemDaneWyszukane,
                           "ZarzadzajacyTransportemDaneWyszukane")
          .ZELVOR_OPTIONAL(R, ListaZezwolenieNaWykonywanieZawoduPrzewoznikaDrogowegoTyp,
                           "ZezwolenieNaWykonywanieZawoduPrzewoznikaDrogowegoTyp")
          .ZELVOR_OPTIONAL(R, ListaLicencjaWspolnotowaTyp, "LicencjaWspolnotowaTyp")
          .ZELVOR_OPTIONAL(R, ListaWypisowZLicencjiTyp, "Wypis")
          .ZELVOR_OPTIONAL(R, ListaWypisowZzezwoleniaTyp, "Wypis")
          .ZELVOR_OPTIONAL(R, ListaPrzedstawicieliPrawnychTyp, "PrzedstawicielPrawny")
          .ZELVOR_OPTIONAL(R, Adres)
          .Build();
  return type;
}

const RecordType& ParametryWyszukiwaniaPrzedsiebiorcowTyp::StaticType() {
  using R = ParametryWyszukiwaniaPrzedsiebiorcowTyp;
  static const RecordType type =
      RecordTypeBuilder<R>("ParametryWyszukiwaniaPrzedsiebiorcowTyp")
          .ZELVOR_OPTIONAL(R, NumerReferencyjny)
          .ZELVOR_OPTIONAL(R, FirmaNazwa)
          .ZELVOR_OPTIONAL(R, NIP)
          .ZELVOR_OPTIONAL(R, ListaZakresowPosiadanychZezwolen, "ZakresZezwolenia")
          .ZELVOR_OPTIONAL(R, NumerZezwoleniaRzeczy)
          .ZELVOR_OPTIONAL(R, NumerZezwoleniaOsoby)
          .ZELVOR_OPTIONAL(R, ListaZakresowPosiadanychLicencji, "ZakresLicencji")
          .ZELVOR_OPTIONAL(R, NumerLicencjiRzeczy)
          .ZELVOR_OPTIONAL(R, NumerLicencjiOsoby)
          .ZELVOR_OPTIONAL(R, ImieZarzadzajacego)
          .ZELVOR_OPTIONAL(R, NazwiskoZarzadzajacego)
          .ZELVOR_OPTIONAL(R, NumerCertyfikatuZarzadzajacego)
          .ZELVOR_OPTIONAL(R, ListaKodowKrajowWydaniaCertyfikatu, "Kraj")
          .ZELVOR_OPTIONAL(R, DataWydaniaCertyfikatuOd)
          .ZELVOR_OPTIONAL(R, DataWydaniaCertyfikatuDo)
          .ZELVOR_OPTIONAL(R, AdresSiedziby)
          .ZELVOR_OPTIONAL(R, LiczbaWypisowZLicencjiWspolnotowejPowyzejTrzyIPolTonyOd)
          .ZELVOR_OPTIONAL(R, LiczbaWypisowZLicencjiWspolnotowejPowyzejTrzyIPolTonyDo)
          .ZELVOR_OPTIONAL(R, LiczbaWypisowZLicencjiWspolnotowejPonizejTrzyIPolTonyOd)
          .ZELVOR_OPTIONAL(R, LiczbaWypisowZLicencjiWspolnotowejPonizejTrzyIPolTonyDo)
          .ZELVOR_OPTIONAL(R, DataOstatniejModyfikacjiRekorduOd)
          .ZELVOR_OPTIONAL(R, DataOstatniejModyfikacjiRekorduDo)
          .Build();
  return type;
}

}  // namespace zelvor::reg
