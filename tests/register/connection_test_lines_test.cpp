#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

#include "register/connection_test.h"
#include "register/register_transport.h"

namespace zelvor::reg {
namespace {

using testing::ElementsAre;

// Answers from closures, so each case says only what the register does.
class ScriptedApi : public CitizenApi {
 public:
  std::function<ListaPrzedsiebiorcowDaneWyszukaneTyp(
      const ParametryWyszukiwaniaPrzedsiebiorcowTyp&)>
      search;
  std::function<std::unique_ptr<PrzedsiebiorcaSzczegoloweDaneWyszukaneTyp>(const std::string&)>
      details;
  std::vector<std::string> fetched;

  ListaPrzedsiebiorcowDaneWyszukaneTyp WyszukajPrzedsiebiorce(
      const ParametryWyszukiwaniaPrzedsiebiorcowTyp& p) override {
    return search(p);
  }
  std::unique_ptr<PrzedsiebiorcaSzczegoloweDaneWyszukaneTyp> PobierzPrzedsiebiorce(
      const std::string& numer) override {
    fetched.push_back(numer);
    return details(numer);
  }
};

ListaPrzedsiebiorcowDaneWyszukaneTyp Hits(int count) {
  ListaPrzedsiebiorcowDaneWyszukaneTyp hits;
  for (int i = 1; i <= count; ++i) {
    auto hit = std::make_unique<PrzedsiebiorcaDaneWyszukaneTyp>();
    hit->FirmaNazwa = "Firma " + std::to_string(i);
    hit->NIP = "526104082" + std::to_string(i);
    hit->SetNumerReferencyjny("P/2019/0000000" + std::to_string(i));
    hits.push_back(std::move(hit));
  }
  return hits;
}

std::unique_ptr<PrzedsiebiorcaSzczegoloweDaneWyszukaneTyp> Details(bool manager, bool permit,
                                                                   bool permitDate) {
  auto d = std::make_unique<PrzedsiebiorcaSzczegoloweDaneWyszukaneTyp>();
  d->SetFormaPrawna("spółka z o.o.");
  if (manager) {
    ListaZarzadzajacyTransportemDaneWyszukaneTyp managers;
    managers.push_back(std::make_unique<ZarzadzajacyTransportemDaneWyszukaneTyp>());
    managers[0]->Nazwisko = "Wiśniewska";
    managers[0]->SetImiona("Zofia");
    d->SetListaZarzadzajacyTransportemDaneWyszukane(std::move(managers));
  }
  if (permit) {
    ListaZezwolenieNaWykonywanieZawoduPrzewoznikaDrogowegoTyp permits;
    permits.push_back(std::make_unique<ZezwolenieNaWykonywanieZawoduPrzewoznikaDrogowegoTyp>());
    if (permitDate) {
      permits[0]->DataWydania = std::make_unique<TXSDate>(soap::CalendarDate{2011, 3, 9});
    }
    permits[0]->OrganWydajacy = "Starosta Łódzki";
    d->SetListaZezwolenieNaWykonywanieZawoduPrzewoznikaDrogowegoTyp(std::move(permits));
  }
  return d;
}

std::string IsoDay(std::chrono::year_month_day day) {
  return std::to_string(int(day.year())) + "." + std::to_string(unsigned(day.month())) + "." +
         std::to_string(unsigned(day.day()));
}

// The lines of one run; passed tells whether the run reached its end.
std::vector<std::string> TestLines(ScriptedApi& api, std::vector<std::string> lines = {},
                                   bool* passed = nullptr) {
  const bool ended = RunConnectionTest(
      api, [&](const std::string& line) { lines.push_back(line); }, IsoDay);
  if (passed != nullptr) *passed = ended;
  return lines;
}

TEST(ConnectionTest, SearchesOnlyByTheCertificateDateRange) {
  ScriptedApi api;
  api.search = [](const ParametryWyszukiwaniaPrzedsiebiorcowTyp& p) {
    EXPECT_THAT(soap::SpecifiedOptionalFields(p),
                ElementsAre("DataWydaniaCertyfikatuOd", "DataWydaniaCertyfikatuDo"));
    EXPECT_EQ(p.DataWydaniaCertyfikatuOd()->Text(), "1999-12-06");
    EXPECT_EQ(p.DataWydaniaCertyfikatuDo()->Text(), "2024-09-24");
    return Hits(0);
  };
  bool passed = false;
  EXPECT_THAT(TestLines(api, {}, &passed), ElementsAre("brak"));
  EXPECT_TRUE(passed);
  EXPECT_TRUE(api.fetched.empty());
}

TEST(ConnectionTest, HitsGiveTheCountAndEightLinesOfTheFirstHit) {
  ScriptedApi api;
  api.search = [](const auto&) { return Hits(3); };
  api.details = [](const std::string&) { return Details(true, true, true); };
  bool passed = false;
  EXPECT_THAT(TestLines(api, {}, &passed),
              ElementsAre("ilosc= 3", "Firma 1", "5261040821", "P/2019/00000001", "spółka z o.o.",
                          "Wiśniewska", "Zofia", "2011.3.9", "Starosta Łódzki"));
  EXPECT_THAT(api.fetched, ElementsAre("P/2019/00000001"));
  EXPECT_TRUE(passed);
}

TEST(ConnectionTest, AFaultIsTheRunsOnlyLineAndEarlierRunsStay) {
  ScriptedApi api;
  api.search = [](const auto&) -> ListaPrzedsiebiorcowDaneWyszukaneTyp {
    SzczegolyBledu fault;
    fault.SetMessage("Brak uprawnień do usługi");
    fault.Raise();
  };
  bool passed = true;
  EXPECT_THAT(TestLines(api, {"brak"}, &passed), ElementsAre("brak", "Brak uprawnień do usługi"));
  EXPECT_FALSE(passed);
}

TEST(ConnectionTest, MissingDetailsEndTheRunWithOneClearLine) {
  struct Case {
    bool manager, permit, permitDate;
    std::size_t linesBeforeFailure;  // after the four lines of the hit
  };
  for (const Case& c :
       {Case{false, true, true, 1}, Case{true, false, false, 3}, Case{true, true, false, 3}}) {
    ScriptedApi api;
    api.search = [](const auto&) { return Hits(1); };
    api.details = [&](const std::string&) { return Details(c.manager, c.permit, c.permitDate); };
    bool passed = true;
    const auto lines = TestLines(api, {}, &passed);
    EXPECT_FALSE(passed);
    ASSERT_EQ(lines.size(), 4 + c.linesBeforeFailure + 1);
    EXPECT_EQ(lines[4], "spółka z o.o.");
    EXPECT_FALSE(lines.back().empty());
  }
  ScriptedApi api;
  api.search = [](const auto&) { return Hits(1); };
  api.details = [](const std::string&) { return nullptr; };
  EXPECT_EQ(TestLines(api).size(), 5u);
}

TEST(RegisterTransport, ApplyServiceUrlPointsTheTransportAtTheAddress) {
  soap::HttpTransport transport("https://127.0.0.1:1/CitizenApi.svc");
  EXPECT_EQ(ApplyServiceUrl(transport, "https://a/b"), "https://a/b");
  EXPECT_EQ(transport.URL(), "https://a/b");
}

}  // namespace
}  // namespace zelvor::reg
