// The register's search: every stated criterion must hold; criteria about a transport
// manager must all hold for the same manager.
#include <algorithm>

#include "register-sim/synthetic_register.h"
#include "soap/lexical.h"

namespace zelvor::sim {
namespace {

using namespace zelvor::reg;
using Params = ParametryWyszukiwaniaPrzedsiebiorcowTyp;

char Lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool ContainsIgnoringAsciiCase(std::string_view text, std::string_view part) {
  return std::search(text.begin(), text.end(), part.begin(), part.end(),
                     [](char a, char b) { return Lower(a) == Lower(b); }) != text.end();
}

// A text criterion counts when it is specified and not empty.
bool Stated(bool specified, const std::string& value) {
  return specified && !value.empty();
}

template <class T>
bool Stated(bool specified, const std::vector<T>& value) {
  return specified && !value.empty();
}

bool Stated(bool specified, const DatePtr& value) {
  return specified && value != nullptr;
}

bool InRange(const CalendarDate& date, const TXSDate* from, const TXSDate* to) {
  const int day = DayNumber(date);
  return (!from || day >= DayNumber(from->Date())) && (!to || day <= DayNumber(to->Date()));
}

bool StatesManagerCriteria(const Params& p) {
  return Stated(p.ImieZarzadzajacego_Specified(), p.ImieZarzadzajacego()) ||
         Stated(p.NazwiskoZarzadzajacego_Specified(), p.NazwiskoZarzadzajacego()) ||
         Stated(p.NumerCertyfikatuZarzadzajacego_Specified(), p.NumerCertyfikatuZarzadzajacego()) ||
         Stated(p.ListaKodowKrajowWydaniaCertyfikatu_Specified(),
                p.ListaKodowKrajowWydaniaCertyfikatu()) ||
         Stated(p.DataWydaniaCertyfikatuOd_Specified(), p.DataWydaniaCertyfikatuOd()) ||
         Stated(p.DataWydaniaCertyfikatuDo_Specified(), p.DataWydaniaCertyfikatuDo());
}

bool ManagerMatches(const ZarzadzajacyTransportemDaneWyszukaneTyp& m, const Params& p) {
  if (Stated(p.ImieZarzadzajacego_Specified(), p.ImieZarzadzajacego()) &&
      !soap::EqualsIgnoringAsciiCase(m.Imiona(), p.ImieZarzadzajacego())) {
    return false;
  }
  if (Stated(p.NazwiskoZarzadzajacego_Specified(), p.NazwiskoZarzadzajacego()) &&
      !soap::EqualsIgnoringAsciiCase(m.Nazwisko, p.NazwiskoZarzadzajacego())) {
    return false;
  }
  if (Stated(p.NumerCertyfikatuZarzadzajacego_Specified(), p.NumerCertyfikatuZarzadzajacego()) &&
      m.NumerCertyfikatu != p.NumerCertyfikatuZarzadzajacego()) {
    return false;
  }
  if (Stated(p.ListaKodowKrajowWydaniaCertyfikatu_Specified(),
             p.ListaKodowKrajowWydaniaCertyfikatu())) {
    const auto& countries = p.ListaKodowKrajowWydaniaCertyfikatu();
    if (std::find(countries.begin(), countries.end(), m.KrajWydajacyCertyfikat) ==
        countries.end()) {
      return false;
    }
  }
  const TXSDate* from =
      p.DataWydaniaCertyfikatuOd_Specified() ? p.DataWydaniaCertyfikatuOd().get() : nullptr;
  const TXSDate* to =
      p.DataWydaniaCertyfikatuDo_Specified() ? p.DataWydaniaCertyfikatuDo().get() : nullptr;
  return InRange(m.DataWydaniaCertyfikatu->Date(), from, to);
}

bool PermitMatches(const PrzedsiebiorcaSzczegoloweDaneWyszukaneTyp& d, const Params& p) {
  const auto& permits = d.ListaZezwolenieNaWykonywanieZawoduPrzewoznikaDrogowegoTyp();
  const auto holds = [&](auto predicate) {
    return std::any_of(permits.begin(), permits.end(),
                       [&](const auto& z) { return predicate(*z); });
  };
  if (Stated(p.ListaZakresowPosiadanychZezwolen_Specified(),
             p.ListaZakresowPosiadanychZezwolen())) {
    const auto& scopes = p.ListaZakresowPosiadanychZezwolen();
    if (!holds([&](const auto& z) {
          return std::find(scopes.begin(), scopes.end(), z.Zakres) != scopes.end();
        }))
      return false;
  }
  const auto numbered = [&](bool specified, const std::string& number, ZakresZezwoleniaTyp scope) {
    return !Stated(specified, number) ||
           holds([&](const auto& z) { return z.Zakres == scope && z.Numer == number; });
  };
  return numbered(p.NumerZezwoleniaRzeczy_Specified(), p.NumerZezwoleniaRzeczy(),
                  ZakresZezwoleniaTyp::Rzeczy) &&
         numbered(p.NumerZezwoleniaOsoby_Specified(), p.NumerZezwoleniaOsoby(),
                  ZakresZezwoleniaTyp::Osoby);
}

bool LicenceMatches(const PrzedsiebiorcaSzczegoloweDaneWyszukaneTyp& d, const Params& p) {
  const auto& licences = d.ListaLicencjaWspolnotowaTyp();
  const auto holds = [&](auto predicate) {
    return std::any_of(licences.begin(), licences.end(),
                       [&](const auto& l) { return predicate(*l); });
  };
  if (Stated(p.ListaZakresowPosiadanychLicencji_Specified(),
             p.ListaZakresowPosiadanychLicencji())) {
    const auto& scopes = p.ListaZakresowPosiadanychLicencji();
    if (!holds([&](const auto& l) {
          return std::find(scopes.begin(), scopes.end(), l.Zakres) != scopes.end();
        }))
      return false;
  }
  const auto goods = [](ZakresLicencjiTyp z) {
    return z != ZakresLicencjiTyp::OsobyPowyzejTrzyIPolTony;
  };
  if (Stated(p.NumerLicencjiRzeczy_Specified(), p.NumerLicencjiRzeczy()) &&
      !holds(
          [&](const auto& l) { return goods(l.Zakres) && l.Numer == p.NumerLicencjiRzeczy(); })) {
    return false;
  }
  return !Stated(p.NumerLicencjiOsoby_Specified(), p.NumerLicencjiOsoby()) ||
         holds(
             [&](const auto& l) { return !goods(l.Zakres) && l.Numer == p.NumerLicencjiOsoby(); });
}

bool CopyCountMatches(const PrzedsiebiorcaSzczegoloweDaneWyszukaneTyp& d, const Params& p) {
  const auto count = [&](RodzajWypisuZLicencjiTyp kind) {
    const auto& copies = d.ListaWypisowZLicencjiTyp();
    return static_cast<std::int64_t>(
        std::count_if(copies.begin(), copies.end(),
                      [&](const auto& w) { return w->Rodzaj_Specified() && w->Rodzaj() == kind; }));
  };
  const std::int64_t above = count(RodzajWypisuZLicencjiTyp::PowyzejTrzyIPolTony);
  const std::int64_t below = count(RodzajWypisuZLicencjiTyp::PonizejTrzyIPolTony);
  return (!p.LiczbaWypisowZLicencjiWspolnotowejPowyzejTrzyIPolTonyOd_Specified() ||
          above >= p.LiczbaWypisowZLicencjiWspolnotowejPowyzejTrzyIPolTonyOd()) &&
         (!p.LiczbaWypisowZLicencjiWspolnotowejPowyzejTrzyIPolTonyDo_Specified() ||
          above <= p.LiczbaWypisowZLicencjiWspolnotowejPowyzejTrzyIPolTonyDo()) &&
         (!p.LiczbaWypisowZLicencjiWspolnotowejPonizejTrzyIPolTonyOd_Specified() ||
          below >= p.LiczbaWypisowZLicencjiWspolnotowejPonizejTrzyIPolTonyOd()) &&
         (!p.LiczbaWypisowZLicencjiWspolnotowejPonizejTrzyIPolTonyDo_Specified() ||
          below <= p.LiczbaWypisowZLicencjiWspolnotowejPonizejTrzyIPolTonyDo());
}

bool AddressMatches(const PrzedsiebiorcaSzczegoloweDaneWyszukaneTyp& d, const Params& p) {
  if (!p.AdresSiedziby_Specified() || !p.AdresSiedziby()) return true;
  const AdresSiedziby& f = *p.AdresSiedziby();
  const AdresTyp* a = d.Adres().get();
  if (Stated(f.ListaWojewodztw_Specified(), f.ListaWojewodztw())) {
    if (a == nullptr) return false;
    const auto& list = f.ListaWojewodztw();
    if (std::none_of(list.begin(), list.end(),
                     [&](WojewodztwoTyp w) { return soap::LiteralOf(w) == a->Wojewodztwo(); }))
      return false;
  }
  const auto field = [&](bool specified, const std::string& wanted, auto get) {
    return !Stated(specified, wanted) ||
           (a != nullptr && soap::EqualsIgnoringAsciiCase(get(*a), wanted));
  };
  return field(f.Miejscowosc_Specified(), f.Miejscowosc(),
               [](const AdresTyp& x) { return x.Miejscowosc; }) &&
         field(f.KodPocztowy_Specified(), f.KodPocztowy(),
               [](const AdresTyp& x) { return x.KodPocztowy; }) &&
         field(f.Ulica_Specified(), f.Ulica(), [](const AdresTyp& x) { return x.Ulica(); }) &&
         field(f.Budynek_Specified(), f.Budynek(), [](const AdresTyp& x) { return x.Budynek(); }) &&
         field(f.Lokal_Specified(), f.Lokal(), [](const AdresTyp& x) { return x.Lokal(); });
}

bool StatesAddress(const Params& p) {
  if (!p.AdresSiedziby_Specified() || !p.AdresSiedziby()) return false;
  const AdresSiedziby& f = *p.AdresSiedziby();
  return Stated(f.ListaWojewodztw_Specified(), f.ListaWojewodztw()) ||
         Stated(f.Miejscowosc_Specified(), f.Miejscowosc()) ||
         Stated(f.KodPocztowy_Specified(), f.KodPocztowy()) ||
         Stated(f.Ulica_Specified(), f.Ulica()) || Stated(f.Budynek_Specified(), f.Budynek()) ||
         Stated(f.Lokal_Specified(), f.Lokal());
}

}  // namespace

bool SyntheticRegister::HasCriteria(const Params& p) {
  return Stated(p.NumerReferencyjny_Specified(), p.NumerReferencyjny()) ||
         Stated(p.FirmaNazwa_Specified(), p.FirmaNazwa()) || Stated(p.NIP_Specified(), p.NIP()) ||
         Stated(p.ListaZakresowPosiadanychZezwolen_Specified(),
                p.ListaZakresowPosiadanychZezwolen()) ||
         Stated(p.NumerZezwoleniaRzeczy_Specified(), p.NumerZezwoleniaRzeczy()) ||
         Stated(p.NumerZezwoleniaOsoby_Specified(), p.NumerZezwoleniaOsoby()) ||
         Stated(p.ListaZakresowPosiadanychLicencji_Specified(),
                p.ListaZakresowPosiadanychLicencji()) ||
         Stated(p.NumerLicencjiRzeczy_Specified(), p.NumerLicencjiRzeczy()) ||
         Stated(p.NumerLicencjiOsoby_Specified(), p.NumerLicencjiOsoby()) ||
         StatesManagerCriteria(p) || StatesAddress(p) ||
         p.LiczbaWypisowZLicencjiWspolnotowejPowyzejTrzyIPolTonyOd_Specified() ||
         p.LiczbaWypisowZLicencjiWspolnotowejPowyzejTrzyIPolTonyDo_Specified() ||
         p.LiczbaWypisowZLicencjiWspolnotowejPonizejTrzyIPolTonyOd_Specified() ||
         p.LiczbaWypisowZLicencjiWspolnotowejPonizejTrzyIPolTonyDo_Specified() ||
         Stated(p.DataOstatniejModyfikacjiRekorduOd_Specified(),
                p.DataOstatniejModyfikacjiRekorduOd()) ||
         Stated(p.DataOstatniejModyfikacjiRekorduDo_Specified(),
                p.DataOstatniejModyfikacjiRekorduDo());
}

bool SyntheticRegister::Matches(const Enterprise& e, const Params& p) const {
  const PrzedsiebiorcaSzczegoloweDaneWyszukaneTyp& d = *e.details;
  if (Stated(p.NumerReferencyjny_Specified(), p.NumerReferencyjny()) &&
      d.NumerReferencyjny() != p.NumerReferencyjny())
    return false;
  if (Stated(p.NIP_Specified(), p.NIP()) && d.NIP != p.NIP()) return false;
  if (Stated(p.FirmaNazwa_Specified(), p.FirmaNazwa()) &&
      !ContainsIgnoringAsciiCase(d.FirmaNazwa, p.FirmaNazwa()))
    return false;
  if (StatesManagerCriteria(p)) {
    const auto& managers = d.ListaZarzadzajacyTransportemDaneWyszukane();
    if (std::none_of(managers.begin(), managers.end(),
                     [&](const auto& m) { return ManagerMatches(*m, p); }))
      return false;
  }
  const TXSDate* from = p.DataOstatniejModyfikacjiRekorduOd_Specified()
                            ? p.DataOstatniejModyfikacjiRekorduOd().get()
                            : nullptr;
  const TXSDate* to = p.DataOstatniejModyfikacjiRekorduDo_Specified()
                          ? p.DataOstatniejModyfikacjiRekorduDo().get()
                          : nullptr;
  return InRange(e.lastModified, from, to) && PermitMatches(d, p) && LicenceMatches(d, p) &&
         CopyCountMatches(d, p) && AddressMatches(d, p);
}

std::vector<std::size_t> SyntheticRegister::Search(const Params& p) const {
  std::vector<std::size_t> found;
  if (Stated(p.NIP_Specified(), p.NIP())) {
    // The common case: one lookup instead of a scan.
    const auto it = byNip_.find(p.NIP());
    if (it != byNip_.end() && Matches(enterprises_[it->second], p)) found.push_back(it->second);
    return found;
  }
  for (std::size_t i = 0; i < enterprises_.size(); ++i) {
    if (Matches(enterprises_[i], p)) found.push_back(i);
  }
  return found;
}

}  // namespace zelvor::sim
