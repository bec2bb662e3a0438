#pragma once
// The VAT number check: one number checked on behalf of a requester, and the lines that show
// the verdict and the registered trader.

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "vies/vat_port_type.h"

namespace zelvor::vies {

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

// The request: the number to verify as its required fields, the requester through the setters
// so that both are sent; the trader fields stay unsent.
CheckVatApproxRequest MakeVatRequest(const VatQuery& query);

// Asks the service; its errors pass through unchanged.
VatAnswer CheckVat(VatPortType& port, const VatQuery& query);

using ShortDateFormat = std::function<std::string(std::chrono::year_month_day)>;

// One line naming the typed number when it is not registered, else the request date in the
// given short format and the trader's data: nine lines.
std::vector<std::string> VatResultLines(const VatAnswer& answer, const std::string& typedNumber,
                                        const ShortDateFormat& shortDate);

}  // namespace zelvor::vies
