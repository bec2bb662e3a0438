#include "report/details_columns.h"

#include "report/display_tables.h"

namespace zelvor::report {
namespace {

std::string Display(auto value) {
  return std::string(DisplayText(value));
}

// An optional value that was never received shows as an empty column, not as a default.
std::string OptionalDisplay(bool specified, auto value) {
  return specified ? Display(value) : std::string{};
}

std::string OptionalText(bool specified, const std::string& value) {
  return specified ? value : std::string{};
}

CellValue OptionalInt(bool specified, std::int32_t value) {
  return specified ? CellValue{value} : CellValue{};
}

std::string OptionalDate(bool specified, const reg::DatePtr& date) {
  return specified ? FormatRegisterDate(date.get()) : std::string{};
}

}  // namespace

void AddDetailsColumns(PendingRows& rows,
                       const reg::PrzedsiebiorcaSzczegoloweDaneWyszukaneTyp& details,
                       const reg::ZarzadzajacyTransportemDaneWyszukaneTyp* manager,
                       const reg::ZezwolenieNaWykonywanieZawoduPrzewoznikaDrogowegoTyp* permit,
                       const reg::LicencjaWspolnotowaTyp* licence) {
  const auto add = [&rows](std::string_view name, const CellValue& value) {
    AddHdrValue(rows, name, value, false);
  };
  const auto* m = manager;
  const auto* p = permit;
  const auto* l = licence;
  const reg::AdresTyp* a = details.Adres_Specified() ? details.Adres().get() : nullptr;

  add("FormaPrawna", OptionalText(details.FormaPrawna_Specified(), details.FormaPrawna()));
  add("Nazwisko", m ? m->Nazwisko : "");
  add("Imiona", m ? OptionalText(m->Imiona_Specified(), m->Imiona()) : "");
  add("NumerCertyfikatu", m ? m->NumerCertyfikatu : "");

  const std::string permitIssued = p ? FormatRegisterDate(p->DataWydania.get()) : "";
  add("DataWydania", permitIssued);
  add("ListaZezwolenieNaWykonywanieZawoduPrzewoznikaDrogowegoTypNumer", p ? p->Numer : "");
  add("ListaZezwolenieNaWykonywanieZawoduPrzewoznikaDrogowegoTypZakres",
      p ? Display(p->Zakres) : "");
  add("StatusZezwolenia", p ? Display(p->StatusZezwolenia) : "");
  add("OrganWydajacy", p ? p->OrganWydajacy : "");
  add("Data Wydania", permitIssued);
  add("DataZmianyStatusu",
      p ? OptionalDate(p->DataZmianyStatusu_Specified(), p->DataZmianyStatusu()) : "");
  add("LiczbaPojazdow",
      p ? OptionalInt(p->LiczbaPojazdow_Specified(), p->LiczbaPojazdow()) : CellValue{});
  add("DataCofnięcia", p ? OptionalDate(p->DataCofniecia_Specified(), p->DataCofniecia()) : "");
  add("DataWygasniecia",
      p ? OptionalDate(p->DataWygasniecia_Specified(), p->DataWygasniecia()) : "");
  add("DataZawieszenia",
      p ? OptionalDate(p->DataZawieszenia_Specified(), p->DataZawieszenia()) : "");
  add("PowodZawieszeniaLubWycofania", p ? OptionalText(p->PowodZawieszeniaLubWycofania_Specified(),
                                                       p->PowodZawieszeniaLubWycofania())
                                        : "");

  add("KrajWydajacyCertyfikat", m ? Display(m->KrajWydajacyCertyfikat) : "");
  add("RodzajCertyfikatu",
      m ? OptionalDisplay(m->RodzajCertyfikatu_Specified(), m->RodzajCertyfikatu()) : "");
  add("DataWydaniaCertyfikatu", m ? FormatRegisterDate(m->DataWydaniaCertyfikatu.get()) : "");

  add("AdresWojewodztwo", a ? OptionalText(a->Wojewodztwo_Specified(), a->Wojewodztwo()) : "");
  add("AdresPowiat", a ? OptionalText(a->Powiat_Specified(), a->Powiat()) : "");
  add("AdresGmina", a ? OptionalText(a->Gmina_Specified(), a->Gmina()) : "");
  add("AdresKodPocztowy", a ? a->KodPocztowy : "");
  add("AdresKodMiejscowosc", a ? a->Miejscowosc : "");
  add("AdresUlica", a ? OptionalText(a->Ulica_Specified(), a->Ulica()) : "");
  add("AdresBudynek", a ? OptionalText(a->Budynek_Specified(), a->Budynek()) : "");
  add("AdresLokal", a ? OptionalText(a->Lokal_Specified(), a->Lokal()) : "");

  add("ListaLicencjaWspolnotowaTypZakres", l ? Display(l->Zakres) : "");
  add("ListaLicencjaWspolnotowaTypNumer", l ? l->Numer : "");
  add("ListaLicencjaWspolnotowaTypStatusLicencji", l ? Display(l->StatusLicencji) : "");
  add("ListaLicencjaWspolnotowaTypPoczatekWaznosci",
      l ? FormatRegisterDate(l->PoczatekWaznosci.get()) : "");
  add("ListaLicencjaWspolnotowaTypKoniecWaznosci",
      l ? OptionalDate(l->KoniecWaznosci_Specified(), l->KoniecWaznosci()) : "");
  add("ListaLicencjaWspolnotowaTypDataCofniecia",
      l ? OptionalDate(l->DataCofniecia_Specified(), l->DataCofniecia()) : "");
  add("ListaLicencjaWspolnotowaTypDataWygasniecia",
      l ? OptionalDate(l->DataWygasniecia_Specified(), l->DataWygasniecia()) : "");
  add("ListaLicencjaWspolnotowaTypDataWygasnieciaZawieszenia",
      l ? OptionalDate(l->DataWygasnieciaZawieszenia_Specified(), l->DataWygasnieciaZawieszenia())
        : "");
  add("ListaLicencjaWspolnotowaTypPowodZawieszeniaLubWycofania",
      l ? OptionalText(l->PowodZawieszeniaLubWycofania_Specified(),
                       l->PowodZawieszeniaLubWycofania())
        : "");
  add("ListaLicencjaWspolnotowaTypLiczbaPojazdow",
      l ? OptionalInt(l->LiczbaPojazdow_Specified(), l->LiczbaPojazdow()) : CellValue{});
}

void AddExtractColumns(PendingRows& rows, const reg::WypisZLicencjiTyp& extract,
                       const std::string& hitNip) {
  const auto& e = extract;
  AddDetValue(rows, "NIP", hitNip, true);
  const auto add = [&rows](std::string_view name, const CellValue& value) {
    AddDetValue(rows, name, value, false);
  };
  add("ListaWypisowZLicencjiNumerWypisu", e.NumerWypisu);
  add("ListaWypisowZLicencjiRodzaj", OptionalDisplay(e.Rodzaj_Specified(), e.Rodzaj()));
  add("ListaWypisowZLicencjiStatus", Display(e.Status));
  add("ListaWypisowZLicencjiDataCofnecia",
      OptionalDate(e.DataCofniecia_Specified(), e.DataCofniecia()));
  add("ListaWypisowZLicencjiDataWygasnieciaCofnecia",
      OptionalDate(e.DataWygasnieciaCofniecia_Specified(), e.DataWygasnieciaCofniecia()));
  add("ListaWypisowZLicencjiZakresLicencji", Display(e.ZakresLicencji));
}

}  // namespace zelvor::report
