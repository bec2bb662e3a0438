#include "report/details_columns.h"

#include <gtest/gtest.h>

#include "report/display_tables.h"

namespace zelvor::report {
namespace {

using namespace zelvor::reg;

std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> out;
  std::size_t start = 0;
  for (auto at = line.find(';'); at != std::string::npos; at = line.find(';', start)) {
    out.push_back(line.substr(start, at - start));
    start = at + 1;
  }
  EXPECT_EQ(start, line.size()) << "every field ends with ;";
  return out;
}

DatePtr Date(int y, int m, int d) {
  return std::make_unique<TXSDate>(soap::CalendarDate{y, m, d});
}

const std::vector<std::string> kNames = {
    "FormaPrawna",
    "Nazwisko",
    "Imiona",
    "NumerCertyfikatu",
    "DataWydania",
    "ListaZezwolenieNaWykonywanieZawoduPrzewoznikaDrogowegoTypNumer",
    "ListaZezwolenieNaWykonywanieZawoduPrzewoznikaDrogowegoTypZakres",
    "StatusZezwolenia",
    "OrganWydajacy",
    "Data Wydania",
    "DataZmianyStatusu",
    "LiczbaPojazdow",
    "DataCofnięcia",
    "DataWygasniecia",
    "DataZawieszenia",
    "PowodZawieszeniaLubWycofania",
    "KrajWydajacyCertyfikat",
    "RodzajCertyfikatu",
    "DataWydaniaCertyfikatu",
    "AdresWojewodztwo",
    "AdresPowiat",
    "AdresGmina",
    "AdresKodPocztowy",
    "AdresKodMiejscowosc",
    "AdresUlica",
    "AdresBudynek",
    "AdresLokal",
    "ListaLicencjaWspolnotowaTypZakres",
    "ListaLicencjaWspolnotowaTypNumer",
    "ListaLicencjaWspolnotowaTypStatusLicencji",
    "ListaLicencjaWspolnotowaTypPoczatekWaznosci",
    "ListaLicencjaWspolnotowaTypKoniecWaznosci",
    "ListaLicencjaWspolnotowaTypDataCofniecia",
    "ListaLicencjaWspolnotowaTypDataWygasniecia",
    "ListaLicencjaWspolnotowaTypDataWygasnieciaZawieszenia",
    "ListaLicencjaWspolnotowaTypPowodZawieszeniaLubWycofania",
    "ListaLicencjaWspolnotowaTypLiczbaPojazdow"};

const std::vector<std::string> kFullValues = {"spółka z o.o.",
                                              "Kowalski",
                                              "Jan Maria",
                                              "C/123",
                                              "2019-05-06",
                                              "Z/2019/7",
                                              "Rzeczy",
                                              "Ważne",
                                              "Starosta Powiatowy",
                                              "2019-05-06",
                                              "2020-01-02",
                                              "12",
                                              "",
                                              "2029-05-05",
                                              "",
                                              "",
                                              "PL",
                                              "międzynarodowy transport drogowy rzeczy",
                                              "2010-10-10",
                                              "mazowieckie",
                                              "warszawski",
                                              "Warszawa",
                                              "00-950",
                                              "Warszawa",
                                              "Nowa",
                                              "1A",
                                              "",
                                              "RzeczyPowyzejTrzyIPolTony",
                                              "L/77",
                                              "Zgubione/ukradzione",
                                              "2019-06-01",
                                              "2029-05-31",
                                              "",
                                              "",
                                              "",
                                              "",
                                              "-1"};

struct Enterprise {
  PrzedsiebiorcaSzczegoloweDaneWyszukaneTyp details;
  ZarzadzajacyTransportemDaneWyszukaneTyp manager;
  ZezwolenieNaWykonywanieZawoduPrzewoznikaDrogowegoTyp permit;
  LicencjaWspolnotowaTyp licence;

  Enterprise() {
    details.SetFormaPrawna("spółka z o.o.");
    auto address = std::make_unique<AdresTyp>();
    address->Kraj = "PL";
    address->SetWojewodztwo("mazowieckie");
    address->SetPowiat("warszawski");
    address->SetGmina("Warszawa");
    address->KodPocztowy = "00-950";
    address->Miejscowosc = "Warszawa";
    address->SetUlica("Nowa");
    address->SetBudynek("1A");
    details.SetAdres(std::move(address));
    manager.Nazwisko = "Kowalski";
    manager.SetImiona("Jan Maria");
    manager.NumerCertyfikatu = "C/123";
    manager.KrajWydajacyCertyfikat = KrajTyp::PL;
    manager.SetRodzajCertyfikatu(RodzajCertyfikatuTyp::mi_dzynarodowy_transport_drogowy_rzeczy);
    manager.DataWydaniaCertyfikatu = Date(2010, 10, 10);
    permit.Zakres = ZakresZezwoleniaTyp::Rzeczy;
    permit.Numer = "Z/2019/7";
    permit.StatusZezwolenia = StatusZezwoleniaTyp::Wazne;
    permit.OrganWydajacy = "Starosta Powiatowy";
    permit.DataWydania = Date(2019, 5, 6);
    permit.SetDataZmianyStatusu(Date(2020, 1, 2));
    permit.SetLiczbaPojazdow(12);
    permit.SetDataWygasniecia(Date(2029, 5, 5));
    permit.SetDataWygasnieciaZawieszenia(Date(2001, 1, 1));  // not shown
    licence.Zakres = ZakresLicencjiTyp::RzeczyPowyzejTrzyIPolTony;
    licence.Numer = "L/77";
    licence.StatusLicencji = StatusLicencjiTyp::Zgubione_ukradzione;
    licence.PoczatekWaznosci = Date(2019, 6, 1);
    licence.SetKoniecWaznosci(Date(2029, 5, 31));
    licence.SetDataZawieszenia(Date(2002, 2, 2));  // not shown
    licence.SetLiczbaPojazdow(-1);
  }
};

// The summary row: the three columns a job puts first, then the block.
RowFields Row(const Enterprise& e, bool manager, bool permit, bool licence) {
  PendingRows rows;
  AddHdrValue(rows, "LP", std::int32_t{1}, true);
  AddHdrValue(rows, "FirmaNazwa", std::string("Firma"), false);
  AddHdrValue(rows, "NIP", std::string("5260250995"), false);
  AddDetailsColumns(rows, e.details, manager ? &e.manager : nullptr, permit ? &e.permit : nullptr,
                    licence ? &e.licence : nullptr);
  return rows.summaryRow;
}

TEST(DetailsColumns, ThirtySevenColumnsStayInPlaceWhateverTheEnterpriseLacks) {
  const Enterprise e;
  std::vector<std::string> header = {"LP", "FirmaNazwa", "NIP"};
  header.insert(header.end(), kNames.begin(), kNames.end());
  const struct {
    const char* what;
    bool manager, permit, licence;
    std::pair<int, int> emptyColumns[2];  // 1-based ranges within the block
  } cases[] = {
      {"everything", true, true, true, {{0, -1}, {0, -1}}},
      {"no permit", true, false, true, {{5, 16}, {0, -1}}},
      {"no licence", true, true, false, {{28, 37}, {0, -1}}},
      {"no transport manager", false, true, true, {{2, 4}, {17, 19}}},
      {"nothing but the details", false, false, false, {{2, 19}, {28, 37}}},
  };
  for (const auto& c : cases) {
    const RowFields row = Row(e, c.manager, c.permit, c.licence);
    EXPECT_EQ(Fields(HeaderLine(row)), header) << c.what;
    const auto values = Fields(ValueLine(row));
    ASSERT_EQ(values.size(), 3u + kDetailsColumnCount) << c.what;
    for (int column = 1; column <= kDetailsColumnCount; ++column) {
      bool empty = false;
      for (const auto& [from, to] : c.emptyColumns)
        empty = empty || (column >= from && column <= to);
      EXPECT_EQ(values[2 + column], empty ? "" : kFullValues[column - 1])
          << c.what << ", column " << kNames[column - 1];
    }
  }
}

TEST(DetailsColumns, DetailsWithoutAddressLeaveTheAddressColumnsEmpty) {
  Enterprise e;
  e.details = PrzedsiebiorcaSzczegoloweDaneWyszukaneTyp{};
  const auto values = Fields(ValueLine(Row(e, true, true, true)));
  EXPECT_EQ(values[3], "");  // no legal form either
  for (int column = 20; column <= 27; ++column) EXPECT_EQ(values[2 + column], "") << column;
  EXPECT_EQ(values[2 + 28], "RzeczyPowyzejTrzyIPolTony");
}

TEST(DetailsColumns, OptionalValuesNeverReceivedShowEmptyNotADefault) {
  Enterprise e;
  e.manager = ZarzadzajacyTransportemDaneWyszukaneTyp{};
  e.permit = ZezwolenieNaWykonywanieZawoduPrzewoznikaDrogowegoTyp{};
  const auto values = Fields(ValueLine(Row(e, true, true, true)));
  EXPECT_EQ(values[2 + 12], "");                // LiczbaPojazdow
  EXPECT_EQ(values[2 + 18], "");                // RodzajCertyfikatu
  EXPECT_EQ(values[2 + 5], "");                 // DataWydania absent
  EXPECT_EQ(values[2 + 8], "Ważność wygasła");  // a required enumeration shows its value
}

TEST(ExtractColumns, ADetailRowPerCertifiedCopyBeginningWithTheHitsNip) {
  WypisZLicencjiTyp extract;
  extract.NumerWypisu = "W 0001";
  extract.SetRodzaj(RodzajWypisuZLicencjiTyp::PowyzejTrzyIPolTony);
  extract.Status = StatusWypisuTyp::Cofniety;
  extract.SetDataCofniecia(Date(2022, 2, 3));
  extract.ZakresLicencji = ZakresLicencjiTyp::OsobyPowyzejTrzyIPolTony;
  PendingRows rows;
  AddExtractColumns(rows, extract, "5260250995");
  EXPECT_EQ(rows.detailRowsBegun, 1);
  EXPECT_EQ(HeaderLine(rows.detailRow),
            "NIP;ListaWypisowZLicencjiNumerWypisu;ListaWypisowZLicencjiRodzaj;"
            "ListaWypisowZLicencjiStatus;ListaWypisowZLicencjiDataCofnecia;"
            "ListaWypisowZLicencjiDataWygasnieciaCofnecia;"
            "ListaWypisowZLicencjiZakresLicencji;");
  EXPECT_EQ(ValueLine(rows.detailRow),
            "5260250995;W 0001;PowyzejTrzyIPolTony;Cofniety;2022-02-03;;OsobyPowyzejTrzyIPolTony;");
}

TEST(DisplayTables, EnumerationValuesShowTheirTextsByOrdinal) {
  EXPECT_EQ(DisplayText(StatusLicencjiTyp::Zgubione_ukradzione), "Zgubione/ukradzione");
  EXPECT_EQ(DisplayText(static_cast<StatusLicencjiTyp>(4)), "Zgubione/ukradzione");
  EXPECT_EQ(DisplayText(static_cast<StatusZezwoleniaTyp>(0)), "Ważność wygasła");
  EXPECT_EQ(DisplayText(KrajTyp::IT), "IT");
  EXPECT_EQ(DisplayText(KrajTyp::UK), "UK");
  EXPECT_EQ(
      DisplayText(
          RodzajCertyfikatuTyp::certyfikat_kompetencji_zawodowych_w_drogowym_transporcie_os_b),
      "certyfikat kompetencji zawodowych w drogowym transporcie osób");
  EXPECT_EQ(DisplayText(static_cast<StatusWypisuTyp>(7)), "");  // outside the table
}

}  // namespace
}  // namespace zelvor::report
