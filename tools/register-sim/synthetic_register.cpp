#include "register-sim/synthetic_register.h"

#include <cstdio>
#include <set>

#include "jobs/nip_validation.h"
#include "jobs/period_job.h"
#include "register-sim/polish_names.h"
#include "sim-common/rng.h"

namespace zelvor::sim {
namespace {

using namespace zelvor::reg;

// Certificates are drawn over these years; busy periods get most of them.
const int kFirstCertificateDay = DayNumber({1998, 1, 1});
const int kLastCertificateDay = DayNumber({2025, 6, 30});
constexpr int kBusyPeriods = 8;
constexpr int kBusyPeriodDays = 10;

std::string Digits(Rng& rng, int count) {
  std::string s;
  for (int i = 0; i < count; ++i) s += static_cast<char>('0' + rng.Below(10));
  return s;
}

// Ten digits whose weighted sum of the first nine, modulo 11, is the tenth.
std::string RandomNip(Rng& rng) {
  static constexpr int kWeights[9] = {6, 5, 7, 2, 3, 4, 5, 6, 7};
  for (;;) {
    std::string nip(1, static_cast<char>('1' + rng.Below(9)));
    nip += Digits(rng, 8);
    int sum = 0;
    for (int i = 0; i < 9; ++i) sum += kWeights[i] * (nip[i] - '0');
    if (sum % 11 == 10) continue;
    nip += static_cast<char>('0' + sum % 11);
    return nip;
  }
}

DatePtr MakeDate(int day) {
  return std::make_unique<TXSDate>(DateOfDay(day));
}

int RandomDay(Rng& rng, CalendarDate from, CalendarDate to) {
  return rng.Between(DayNumber(from), DayNumber(to));
}

template <class E>
E RandomEnum(Rng& rng) {
  return static_cast<E>(rng.Below(static_cast<std::size_t>(soap::EnumTypeOf<E>().Count())));
}

// How many items a list gets: the rich enterprise has several of everything; a few
// enterprises have none at all.
struct Shape {
  bool rich = false;
  bool bare = false;
};

int Count(Rng& rng, const Shape& shape, int noneShare, int max) {
  if (shape.bare) return 0;
  if (shape.rich) return std::max(2, max / 2);
  if (rng.Percent(noneShare)) return 0;
  return rng.Between(1, max);
}

// An empty list is sometimes sent as an empty wrapper and sometimes left out; a bare
// enterprise sends none.
template <class List, class Setter>
void SetList(Rng& rng, const Shape& shape, List list, Setter set) {
  if (!list.empty() || (!shape.bare && rng.Percent(50))) set(std::move(list));
}

class Generator {
 public:
  explicit Generator(std::uint64_t seed) : rng_(seed) {
    for (int i = 0; i < kBusyPeriods; ++i) {
      busyStarts_.push_back(RandomDay(rng_, {2004, 1, 1}, {2023, 12, 1}));
    }
  }

  std::unique_ptr<PrzedsiebiorcaSzczegoloweDaneWyszukaneTyp> Enterprise(const Shape& shape) {
    auto d = std::make_unique<PrzedsiebiorcaSzczegoloweDaneWyszukaneTyp>();
    const Person owner = RandomPerson(rng_);
    const Firm firm = RandomFirm(rng_, owner);
    const Place& place = RandomPlace(rng_);
    d->SetNumerReferencyjny(UniqueReference());
    d->FirmaNazwa = firm.name;
    d->NIP = UniqueNip();
    if (shape.rich || (!shape.bare && rng_.Percent(92))) d->SetFormaPrawna(firm.legalForm);

    ListaZarzadzajacyTransportemDaneWyszukaneTyp managers;
    const int managerCount = Count(rng_, shape, 8, 3);
    for (int i = 0; i < managerCount; ++i) {
      const int firstDay = i > 0 ? DayNumber(managers.front()->DataWydaniaCertyfikatu->Date()) : 0;
      // The rich enterprise's second manager is certified two days after the first, so a short
      // period finds the same enterprise on two days.
      const int sharedDay = shape.rich && i == 1        ? firstDay + 2
                            : i > 0 && rng_.Percent(30) ? firstDay
                                                        : 0;
      managers.push_back(Manager(shape, i == 0 ? owner : RandomPerson(rng_), sharedDay));
    }
    SetList(rng_, shape, std::move(managers),
            [&](auto l) { d->SetListaZarzadzajacyTransportemDaneWyszukane(std::move(l)); });

    ListaZezwolenieNaWykonywanieZawoduPrzewoznikaDrogowegoTyp permits;
    const int permitCount = Count(rng_, shape, 12, 2);
    for (int i = 0; i < permitCount; ++i) permits.push_back(Permit(shape, place));
    ListaWypisowZzezwoleniaTyp permitCopies;
    if (!permits.empty()) {
      const int copies = Count(rng_, shape, 30, 5);
      for (int i = 0; i < copies; ++i) permitCopies.push_back(PermitCopy(permits.front()->Zakres));
    }
    SetList(rng_, shape, std::move(permits), [&](auto l) {
      d->SetListaZezwolenieNaWykonywanieZawoduPrzewoznikaDrogowegoTyp(std::move(l));
    });
    SetList(rng_, shape, std::move(permitCopies),
            [&](auto l) { d->SetListaWypisowZzezwoleniaTyp(std::move(l)); });

    ListaLicencjaWspolnotowaTyp licences;
    const int licenceCount = Count(rng_, shape, 25, 2);
    for (int i = 0; i < licenceCount; ++i) licences.push_back(Licence(shape));
    ListaWypisowZLicencjiTyp licenceCopies;
    if (!licences.empty()) {
      const int copies = Count(rng_, shape, 20, 8);
      for (int i = 0; i < copies; ++i)
        licenceCopies.push_back(LicenceCopy(shape, licences.front()->Zakres));
    }
    SetList(rng_, shape, std::move(licences),
            [&](auto l) { d->SetListaLicencjaWspolnotowaTyp(std::move(l)); });
    SetList(rng_, shape, std::move(licenceCopies),
            [&](auto l) { d->SetListaWypisowZLicencjiTyp(std::move(l)); });

    ListaPrzedstawicieliPrawnychTyp representatives;
    const int representativeCount = firm.soleTrader && !shape.rich ? 0 : Count(rng_, shape, 10, 3);
    for (int i = 0; i < representativeCount; ++i) {
      const Person p = i == 0 ? owner : RandomPerson(rng_);
      auto r = std::make_unique<PrzedstawicielPrawnyTyp>();
      r->Imiona = p.imiona;
      r->Nazwisko = p.nazwisko;
      representatives.push_back(std::move(r));
    }
    SetList(rng_, shape, std::move(representatives),
            [&](auto l) { d->SetListaPrzedstawicieliPrawnychTyp(std::move(l)); });

    if (!shape.bare) d->SetAdres(Address(shape, place));
    return d;
  }

  CalendarDate LastModified() { return DateOfDay(RandomDay(rng_, {2015, 1, 1}, {2025, 6, 30})); }

 private:
  std::string UniqueReference() {
    for (;;) {
      char text[32];
      std::snprintf(text, sizeof text, "P/%d/%s", rng_.Between(2010, 2024),
                    Digits(rng_, 8).c_str());
      if (references_.insert(text).second) return text;
    }
  }

  std::string UniqueNip() {
    for (;;) {
      std::string nip = RandomNip(rng_);
      if (nips_.insert(nip).second) return nip;
    }
  }

  // Most certificates fall into a few busy periods, so that a day there has several.
  int CertificateDay(const Shape& shape) {
    if (shape.rich) return RandomDay(rng_, {2003, 1, 1}, {2020, 12, 31});
    if (rng_.Percent(55)) return rng_.Pick(busyStarts_) + rng_.Between(0, kBusyPeriodDays - 1);
    return rng_.Between(kFirstCertificateDay, kLastCertificateDay);
  }

  std::unique_ptr<ZarzadzajacyTransportemDaneWyszukaneTyp> Manager(const Shape& shape,
                                                                   const Person& p, int sharedDay) {
    auto m = std::make_unique<ZarzadzajacyTransportemDaneWyszukaneTyp>();
    if (shape.rich || rng_.Percent(95)) m->SetImiona(p.imiona);
    m->Nazwisko = p.nazwisko;
    const int day = sharedDay != 0 ? sharedDay : CertificateDay(shape);
    char number[32];
    std::snprintf(number, sizeof number, "TD/%d/%s", DateOfDay(day).year, Digits(rng_, 6).c_str());
    m->NumerCertyfikatu = number;
    if (shape.rich || rng_.Percent(80))
      m->SetRodzajCertyfikatu(RandomEnum<RodzajCertyfikatuTyp>(rng_));
    m->DataWydaniaCertyfikatu = MakeDate(day);
    static constexpr KrajTyp kForeign[] = {KrajTyp::DE, KrajTyp::CZ, KrajTyp::SK, KrajTyp::LT};
    m->KrajWydajacyCertyfikat = rng_.Percent(90) ? KrajTyp::PL : rng_.Pick(kForeign);
    return m;
  }

  std::unique_ptr<ZezwolenieNaWykonywanieZawoduPrzewoznikaDrogowegoTyp> Permit(const Shape& shape,
                                                                               const Place& place) {
    auto z = std::make_unique<ZezwolenieNaWykonywanieZawoduPrzewoznikaDrogowegoTyp>();
    z->Zakres = RandomEnum<ZakresZezwoleniaTyp>(rng_);
    z->Numer = Digits(rng_, 7);
    const int issued = RandomDay(rng_, {2011, 12, 4}, {2025, 3, 31});
    z->DataWydania = MakeDate(issued);
    z->OrganWydajacy = RandomAuthority(rng_, place);
    const bool expired = !shape.rich && rng_.Percent(15);
    z->StatusZezwolenia =
        expired ? StatusZezwoleniaTyp::Wa_no___wygas_a : StatusZezwoleniaTyp::Wazne;
    if (expired) {
      const int end = issued + rng_.Between(200, 3000);
      z->SetDataWygasniecia(MakeDate(end));
      z->SetDataZmianyStatusu(MakeDate(end));
    }
    if (shape.rich || rng_.Percent(80)) z->SetLiczbaPojazdow(rng_.Between(1, 60));
    if (shape.rich || rng_.Percent(5)) {
      const int from = issued + rng_.Between(100, 1000);
      z->SetDataZawieszenia(MakeDate(from));
      z->SetDataWygasnieciaZawieszenia(MakeDate(from + rng_.Between(30, 365)));
      z->SetPowodZawieszeniaLubWycofania(std::string(RandomReason(rng_)));
    }
    return z;
  }

  std::unique_ptr<WypisZzezwoleniaTyp> PermitCopy(ZakresZezwoleniaTyp zakres) {
    auto w = std::make_unique<WypisZzezwoleniaTyp>();
    w->ZakresZezwolenia = zakres;
    w->NumerWypisu = Digits(rng_, 7);
    w->Status = rng_.Percent(85) ? StatusWypisuTyp::Aktualny : StatusWypisuTyp::Cofniety;
    return w;
  }

  std::unique_ptr<LicencjaWspolnotowaTyp> Licence(const Shape& shape) {
    auto l = std::make_unique<LicencjaWspolnotowaTyp>();
    l->Zakres = RandomEnum<ZakresLicencjiTyp>(rng_);
    l->Numer = Digits(rng_, 7);
    // Mostly valid; every other status appears now and then.
    const int roll = static_cast<int>(rng_.Below(100));
    const StatusLicencjiTyp status = shape.rich || roll < 65
                                         ? StatusLicencjiTyp::Wazne
                                         : static_cast<StatusLicencjiTyp>(roll % 8);
    l->StatusLicencji = status;
    const int start = RandomDay(rng_, {2004, 5, 1}, {2024, 12, 31});
    l->PoczatekWaznosci = MakeDate(start);
    if (shape.rich || rng_.Percent(90)) l->SetKoniecWaznosci(MakeDate(start + 3652));
    if (status == StatusLicencjiTyp::Wycofane || status == StatusLicencjiTyp::Uniewaznione) {
      l->SetDataCofniecia(MakeDate(start + rng_.Between(100, 2000)));
      l->SetPowodZawieszeniaLubWycofania(std::string(RandomReason(rng_)));
    }
    if (status == StatusLicencjiTyp::Wa_no___wygas_a) l->SetDataWygasniecia(MakeDate(start + 1826));
    if (status == StatusLicencjiTyp::Zawieszone) {
      const int from = start + rng_.Between(100, 2000);
      l->SetDataZawieszenia(MakeDate(from));
      l->SetDataWygasnieciaZawieszenia(MakeDate(from + rng_.Between(30, 365)));
      l->SetPowodZawieszeniaLubWycofania(std::string(RandomReason(rng_)));
    }
    if (shape.rich || rng_.Percent(85)) l->SetLiczbaPojazdow(rng_.Between(1, 80));
    return l;
  }

  std::unique_ptr<WypisZLicencjiTyp> LicenceCopy(const Shape& shape, ZakresLicencjiTyp zakres) {
    auto w = std::make_unique<WypisZLicencjiTyp>();
    w->NumerWypisu = Digits(rng_, 7);
    if (shape.rich || rng_.Percent(90)) {
      w->SetRodzaj(zakres == ZakresLicencjiTyp::RzeczyPonizejTrzyIPolTony
                       ? RodzajWypisuZLicencjiTyp::PonizejTrzyIPolTony
                       : RodzajWypisuZLicencjiTyp::PowyzejTrzyIPolTony);
    }
    const bool withdrawn = rng_.Percent(shape.rich ? 50 : 12);
    w->Status = withdrawn ? StatusWypisuTyp::Cofniety : StatusWypisuTyp::Aktualny;
    if (withdrawn) {
      const int day = RandomDay(rng_, {2010, 1, 1}, {2024, 12, 31});
      w->SetDataCofniecia(MakeDate(day));
      if (rng_.Percent(50)) w->SetDataWygasnieciaCofniecia(MakeDate(day + rng_.Between(30, 365)));
    }
    w->ZakresLicencji = zakres;
    return w;
  }

  std::unique_ptr<AdresTyp> Address(const Shape& shape, const Place& place) {
    auto a = std::make_unique<AdresTyp>();
    a->Kraj = "PL";
    a->SetWojewodztwo(std::string(place.wojewodztwo));
    a->SetPowiat(std::string(place.powiat));
    a->SetGmina(std::string(place.gmina));
    a->KodPocztowy = std::string(place.kodPrefix) + "-" + Digits(rng_, 3);
    a->Miejscowosc = std::string(place.miejscowosc);
    if (shape.rich || rng_.Percent(90)) a->SetUlica(std::string(RandomStreet(rng_)));
    a->SetBudynek(std::to_string(rng_.Between(1, 250)) + (rng_.Percent(15) ? "A" : ""));
    if (shape.rich || rng_.Percent(35)) a->SetLokal(std::to_string(rng_.Between(1, 80)));
    return a;
  }

  Rng rng_;
  std::vector<int> busyStarts_;
  std::set<std::string> references_;
  std::set<std::string> nips_;
};

}  // namespace

int DayNumber(CalendarDate date) {
  // Days from civil (proleptic Gregorian), 1970-01-01 is day 0.
  const int y = date.year - (date.month <= 2 ? 1 : 0);
  const int era = (y >= 0 ? y : y - 399) / 400;
  const int yoe = y - era * 400;
  const int mp = (date.month + 9) % 12;
  const int doy = (153 * mp + 2) / 5 + date.day - 1;
  const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

CalendarDate DateOfDay(int dayNumber) {
  const int z = dayNumber + 719468;
  const int era = (z >= 0 ? z : z - 146096) / 146097;
  const int doe = z - era * 146097;
  const int yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int mp = (5 * doy + 2) / 153;
  const int day = doy - (153 * mp + 2) / 5 + 1;
  const int month = mp < 10 ? mp + 3 : mp - 9;
  return {yoe + era * 400 + (month <= 2 ? 1 : 0), month, day};
}

SyntheticRegister::SyntheticRegister(std::uint64_t seed, std::size_t size) {
  Generator generator(seed);
  enterprises_.reserve(size);
  for (std::size_t i = 0; i < size; ++i) {
    // The first enterprise has several of everything; the second has nothing optional.
    const Shape shape{i == 0, i == 1};
    Enterprise e{generator.Enterprise(shape), generator.LastModified()};
    // The register holds the enterprise that the period job leaves out, so that can be seen: the
    // first ordinary one with a transport manager, so that a search by certificate day finds it.
    if (excludedIndex_ == 0 && i >= 2 &&
        !e.details->ListaZarzadzajacyTransportemDaneWyszukane().empty()) {
      e.details->SetNumerReferencyjny(std::string(jobs::kExcludedReferenceNumber));
      excludedIndex_ = i;
    }
    byReference_.emplace(e.details->NumerReferencyjny(), i);
    byNip_.emplace(e.details->NIP, i);
    for (const auto& m : e.details->ListaZarzadzajacyTransportemDaneWyszukane()) {
      byCertificateDay_.emplace(DayNumber(m->DataWydaniaCertyfikatu->Date()), i);
    }
    enterprises_.push_back(std::move(e));
  }
}

const PrzedsiebiorcaSzczegoloweDaneWyszukaneTyp* SyntheticRegister::FindByReference(
    std::string_view reference) const {
  const auto it = byReference_.find(reference);
  return it == byReference_.end() ? nullptr : enterprises_[it->second].details.get();
}

const PrzedsiebiorcaSzczegoloweDaneWyszukaneTyp* SyntheticRegister::FindByNip(
    std::string_view nip) const {
  const auto it = byNip_.find(nip);
  return it == byNip_.end() ? nullptr : enterprises_[it->second].details.get();
}

std::vector<std::size_t> SyntheticRegister::CertifiedBetween(CalendarDate from,
                                                             CalendarDate to) const {
  std::set<std::size_t> found;
  for (auto it = byCertificateDay_.lower_bound(DayNumber(from));
       it != byCertificateDay_.end() && it->first <= DayNumber(to); ++it) {
    found.insert(it->second);
  }
  return {found.begin(), found.end()};
}

std::vector<CalendarDate> SyntheticRegister::BusyDays(std::size_t minEnterprises) const {
  std::vector<CalendarDate> days;
  for (auto it = byCertificateDay_.begin(); it != byCertificateDay_.end();
       it = byCertificateDay_.upper_bound(it->first)) {
    const CalendarDate day = DateOfDay(it->first);
    if (CertifiedBetween(day, day).size() >= minEnterprises) days.push_back(day);
  }
  return days;
}

std::string UnknownValidNip(const SyntheticRegister& data) {
  for (long long base = 111111111;; base += 7) {
    const std::string nip = std::to_string(base);
    for (char check = '0'; check <= '9'; ++check) {
      jobs::NipDigits digits{};
      if (jobs::IsValidNip(nip + check, digits) && data.FindByNip(nip + check) == nullptr) {
        return nip + check;
      }
    }
  }
}

}  // namespace zelvor::sim
