#include "register-sim/synthetic_register.h"

#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <regex>
#include <set>

#include "jobs/nip_validation.h"

namespace zelvor::sim {
namespace {

using reg::ParametryWyszukiwaniaPrzedsiebiorcowTyp;

constexpr std::uint64_t kSeed = 7;
constexpr std::size_t kSize = 600;

const SyntheticRegister& Register() {
  static const SyntheticRegister r(kSeed, kSize);
  return r;
}

std::unique_ptr<soap::TXSDate> Day(CalendarDate d) {
  return std::make_unique<soap::TXSDate>(d);
}

std::string FlipAsciiCase(std::string text) {
  for (char& c : text) {
    if (std::isalpha(static_cast<unsigned char>(c))) c = static_cast<char>(c ^ 0x20);
  }
  return text;
}

TEST(SyntheticRegister, TaxAndReferenceNumbersAreValidAndUnique) {
  const std::regex reference(R"(P/\d{4}/\d{8})");
  std::set<std::string> nips;
  std::set<std::string> references;
  for (std::size_t i = 0; i < Register().Size(); ++i) {
    const auto& d = Register().At(i);
    jobs::NipDigits digits{};
    EXPECT_TRUE(jobs::IsValidNip(d.NIP, digits)) << d.NIP;
    EXPECT_TRUE(std::regex_match(d.NumerReferencyjny(), reference)) << d.NumerReferencyjny();
    nips.insert(d.NIP);
    references.insert(d.NumerReferencyjny());
    EXPECT_EQ(Register().FindByNip(d.NIP), &d);
    EXPECT_EQ(Register().FindByReference(d.NumerReferencyjny()), &d);
  }
  EXPECT_EQ(nips.size(), kSize);
  EXPECT_EQ(references.size(), kSize);
}

// Enterprises that lack each list, that hold several, managers sharing a day, and names
// with Polish letters all exist, so that clients meet every shape.
TEST(SyntheticRegister, HoldsEveryShapeOfEnterprise) {
  struct Tally {
    std::size_t none = 0, several = 0;
    void Add(std::size_t n) { n == 0 ? ++none : n >= 2 ? ++several : 0; }
  };
  Tally managers, permits, licences, licenceCopies, permitCopies, representatives;
  std::size_t sharedDay = 0, polish = 0, withoutAddress = 0;
  for (std::size_t i = 0; i < Register().Size(); ++i) {
    const auto& d = Register().At(i);
    managers.Add(d.ListaZarzadzajacyTransportemDaneWyszukane().size());
    permits.Add(d.ListaZezwolenieNaWykonywanieZawoduPrzewoznikaDrogowegoTyp().size());
    licences.Add(d.ListaLicencjaWspolnotowaTyp().size());
    licenceCopies.Add(d.ListaWypisowZLicencjiTyp().size());
    permitCopies.Add(d.ListaWypisowZzezwoleniaTyp().size());
    representatives.Add(d.ListaPrzedstawicieliPrawnychTyp().size());
    const auto& m = d.ListaZarzadzajacyTransportemDaneWyszukane();
    if (m.size() >= 2 &&
        m[0]->DataWydaniaCertyfikatu->Date() == m[1]->DataWydaniaCertyfikatu->Date())
      ++sharedDay;
    if (d.FirmaNazwa.find_first_of("\xC4\xC5") != std::string::npos) ++polish;
    if (!d.Adres()) ++withoutAddress;
  }
  for (const Tally* t :
       {&managers, &permits, &licences, &licenceCopies, &permitCopies, &representatives}) {
    EXPECT_GT(t->none, 0u);
    EXPECT_GT(t->several, 0u);
  }
  EXPECT_GT(sharedDay, 0u);
  EXPECT_GT(polish, kSize / 10);
  EXPECT_GT(withoutAddress, 0u);
  EXPECT_FALSE(Register().BusyDays(4).empty());
}

TEST(SyntheticRegister, SameSeedSameRegisterOtherSeedOtherRegister) {
  const SyntheticRegister again(kSeed, kSize);
  const SyntheticRegister other(kSeed + 1, kSize);
  std::size_t differing = 0;
  for (std::size_t i = 0; i < kSize; ++i) {
    EXPECT_EQ(again.At(i).NIP, Register().At(i).NIP);
    EXPECT_EQ(again.At(i).FirmaNazwa, Register().At(i).FirmaNazwa);
    EXPECT_EQ(again.At(i).ListaWypisowZLicencjiTyp().size(),
              Register().At(i).ListaWypisowZLicencjiTyp().size());
    if (other.At(i).NIP != Register().At(i).NIP) ++differing;
  }
  EXPECT_GT(differing, kSize / 2);
}

TEST(SyntheticRegister, SearchByCertificateDayFindsEachEnterpriseCertifiedThatDayOnce) {
  for (const CalendarDate& day : Register().BusyDays(3)) {
    ParametryWyszukiwaniaPrzedsiebiorcowTyp p;
    p.SetDataWydaniaCertyfikatuOd(Day(day));
    p.SetDataWydaniaCertyfikatuDo(Day(day));
    p.SetListaZakresowPosiadanychZezwolen({});
    std::vector<std::size_t> expected;
    for (std::size_t i = 0; i < Register().Size(); ++i) {
      const auto& m = Register().At(i).ListaZarzadzajacyTransportemDaneWyszukane();
      if (std::any_of(m.begin(), m.end(),
                      [&](const auto& x) { return x->DataWydaniaCertyfikatu->Date() == day; })) {
        expected.push_back(i);
      }
    }
    EXPECT_EQ(Register().Search(p), expected);
    EXPECT_GE(expected.size(), 3u);
  }
}

TEST(SyntheticRegister, SearchHonoursEachCriterionItIsGiven) {
  const auto& rich = Register().At(0);
  const auto& manager = *rich.ListaZarzadzajacyTransportemDaneWyszukane().front();
  const auto& permit = *rich.ListaZezwolenieNaWykonywanieZawoduPrzewoznikaDrogowegoTyp().front();
  struct Case {
    const char* name;
    std::function<void(ParametryWyszukiwaniaPrzedsiebiorcowTyp&)> set;
    bool findsRich;
  };
  const Case cases[] = {
      {"NIP", [&](auto& p) { p.SetNIP(rich.NIP); }, true},
      {"NIP of none", [&](auto& p) { p.SetNIP("0000000000"); }, false},
      {"NIP and another reference",
       [&](auto& p) {
         p.SetNIP(rich.NIP);
         p.SetNumerReferencyjny("P/1999/00000000");
       },
       false},
      {"reference", [&](auto& p) { p.SetNumerReferencyjny(rich.NumerReferencyjny()); }, true},
      {"firm name part in other case",
       [&](auto& p) { p.SetFirmaNazwa(FlipAsciiCase(rich.FirmaNazwa.substr(0, 6))); }, true},
      {"manager surname", [&](auto& p) { p.SetNazwiskoZarzadzajacego(manager.Nazwisko); }, true},
      {"certificate number",
       [&](auto& p) { p.SetNumerCertyfikatuZarzadzajacego(manager.NumerCertyfikatu); }, true},
      {"certificate day",
       [&](auto& p) {
         p.SetDataWydaniaCertyfikatuOd(Day(manager.DataWydaniaCertyfikatu->Date()));
         p.SetDataWydaniaCertyfikatuDo(Day(manager.DataWydaniaCertyfikatu->Date()));
       },
       true},
      {"permit number of its scope",
       [&](auto& p) {
         permit.Zakres == reg::ZakresZezwoleniaTyp::Rzeczy
             ? p.SetNumerZezwoleniaRzeczy(permit.Numer)
             : p.SetNumerZezwoleniaOsoby(permit.Numer);
       },
       true},
      {"permit number of the other scope",
       [&](auto& p) {
         permit.Zakres == reg::ZakresZezwoleniaTyp::Rzeczy
             ? p.SetNumerZezwoleniaOsoby(permit.Numer)
             : p.SetNumerZezwoleniaRzeczy(permit.Numer);
       },
       false},
      {"town",
       [&](auto& p) {
         auto a = std::make_unique<reg::AdresSiedziby>();
         a->SetMiejscowosc(rich.Adres()->Miejscowosc);
         p.SetAdresSiedziby(std::move(a));
       },
       true},
  };
  for (const Case& c : cases) {
    ParametryWyszukiwaniaPrzedsiebiorcowTyp p;
    c.set(p);
    EXPECT_TRUE(SyntheticRegister::HasCriteria(p)) << c.name;
    const auto found = Register().Search(p);
    EXPECT_EQ(std::find(found.begin(), found.end(), 0u) != found.end(), c.findsRich) << c.name;
  }
  ParametryWyszukiwaniaPrzedsiebiorcowTyp onlyEmptyList;
  onlyEmptyList.SetListaZakresowPosiadanychZezwolen({});
  onlyEmptyList.SetFirmaNazwa("");
  EXPECT_FALSE(SyntheticRegister::HasCriteria(onlyEmptyList));
}

TEST(SyntheticRegister, DayNumbersRoundTripOverLeapYears) {
  for (const CalendarDate d : {CalendarDate{1970, 1, 1}, CalendarDate{2000, 2, 29},
                               CalendarDate{2024, 12, 31}, CalendarDate{1999, 12, 6}}) {
    EXPECT_EQ(DateOfDay(DayNumber(d)), d);
  }
  EXPECT_EQ(DayNumber({2000, 3, 1}) - DayNumber({2000, 2, 28}), 2);
  EXPECT_EQ(DayNumber({1970, 1, 1}), 0);
}

}  // namespace
}  // namespace zelvor::sim
