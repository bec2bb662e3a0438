#include "register/connection_test.h"

#include <stdexcept>

namespace zelvor::reg {
namespace {

// What the details lack; the text becomes the run's last line.
class MissingDetail : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

std::unique_ptr<TXSDate> Day(int year, int month, int day) {
  return std::make_unique<TXSDate>(soap::CalendarDate{year, month, day});
}

std::chrono::year_month_day ToYmd(const TXSDate& date) {
  return std::chrono::year{date.Year()} / date.Month() / date.Day();
}

void ReportDetails(const PrzedsiebiorcaSzczegoloweDaneWyszukaneTyp* details,
                   const LineSink& addLine, const ShortDateFormat& shortDate) {
  if (details == nullptr) throw MissingDetail("Rejestr nie zwrócił szczegółów przedsiębiorcy");
  addLine(details->FormaPrawna());

  const auto& managers = details->ListaZarzadzajacyTransportemDaneWyszukane();
  if (managers.empty()) throw MissingDetail("Przedsiębiorca nie ma zarządzającego transportem");
  addLine(managers.front()->Nazwisko);
  addLine(managers.front()->Imiona());

  const auto& permits = details->ListaZezwolenieNaWykonywanieZawoduPrzewoznikaDrogowegoTyp();
  if (permits.empty()) {
    throw MissingDetail("Przedsiębiorca nie ma zezwolenia na wykonywanie zawodu przewoźnika");
  }
  if (!permits.front()->DataWydania) throw MissingDetail("Zezwolenie nie ma daty wydania");
  addLine(shortDate(ToYmd(*permits.front()->DataWydania)));
  addLine(permits.front()->OrganWydajacy);
}

}  // namespace

bool RunConnectionTest(CitizenApi& api, const LineSink& addLine, const ShortDateFormat& shortDate) {
  try {
    ParametryWyszukiwaniaPrzedsiebiorcowTyp search;
    search.SetDataWydaniaCertyfikatuOd(Day(1999, 12, 6));
    search.SetDataWydaniaCertyfikatuDo(Day(2024, 9, 24));

    const ListaPrzedsiebiorcowDaneWyszukaneTyp hits = api.WyszukajPrzedsiebiorce(search);
    if (hits.empty()) {
      addLine("brak");
      return true;
    }
    const PrzedsiebiorcaDaneWyszukaneTyp& first = *hits.front();
    addLine("ilosc= " + std::to_string(hits.size()));
    addLine(first.FirmaNazwa);
    addLine(first.NIP);
    addLine(first.NumerReferencyjny());

    ReportDetails(api.PobierzPrzedsiebiorce(first.NumerReferencyjny()).get(), addLine, shortDate);
    return true;
  } catch (const std::exception& e) {
    addLine(e.what());
  } catch (...) {
    addLine("Nieznany błąd połączenia");
  }
  return false;
}

}  // namespace zelvor::reg
