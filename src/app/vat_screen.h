#pragma once
// The VAT number check screen's request and answer, and the lines the answer shows.

#include <QStringList>
#include <chrono>
#include <functional>
#include <optional>
#include <string>

namespace zelvor::app {

// The four fields exactly as typed, blanks included.
struct VatQuery {
  std::string countryCode;
  std::string vatNumber;
  std::string requesterCountryCode;
  std::string requesterVatNumber;
};

// What the service answered; a field it did not send is empty.
struct VatAnswer {
  bool valid = false;
  std::optional<std::chrono::year_month_day> requestDate;
  std::string countryCode;
  std::string vatNumber;
  std::string traderName;
  std::string traderAddress;
  std::string traderStreet;
  std::string traderPostcode;
  std::string traderCity;
  std::string traderCompanyType;
};

// The lines of the result box: one line naming the typed number when it is not registered,
// else the request date in the given short format and the trader's data, nine lines in all.
QStringList VatResultLines(
    const VatAnswer& answer, const QString& typedNumber,
    const std::function<std::string(std::chrono::year_month_day)>& shortDate);

}  // namespace zelvor::app
