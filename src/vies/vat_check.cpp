#include "vies/vat_check.h"

#include <stdexcept>

namespace zelvor::vies {

CheckVatApproxRequest MakeVatRequest(const VatQuery& query) {
  CheckVatApproxRequest request;
  request.countryCode = query.countryCode;
  request.vatNumber = query.vatNumber;
  request.SetrequesterCountryCode(query.requesterCountryCode);
  request.SetrequesterVatNumber(query.requesterVatNumber);
  return request;
}

VatAnswer CheckVat(VatPortType& port, const VatQuery& query) {
  const std::unique_ptr<CheckVatApproxResponse> response = port.CheckApprox(MakeVatRequest(query));
  // An answer without a result would otherwise read as "not registered".
  if (!response) throw std::runtime_error("Odpowiedź usługi VIES nie zawiera wyniku sprawdzenia");
  VatAnswer answer;
  answer.valid = response->valid;
  if (response->requestDate) {
    const soap::CalendarDate date = response->requestDate->Date();
    answer.requestDate = std::chrono::year{date.year} / date.month / date.day;
  }
  answer.countryCode = response->countryCode;
  answer.vatNumber = response->vatNumber;
  answer.traderName = response->traderName();
  answer.traderAddress = response->traderAddress();
  answer.traderStreet = response->traderStreet();
  answer.traderPostcode = response->traderPostcode();
  answer.traderCity = response->traderCity();
  answer.traderCompanyType = response->traderCompanyType();
  return answer;
}

std::vector<std::string> VatResultLines(const VatAnswer& answer, const std::string& typedNumber,
                                        const ShortDateFormat& shortDate) {
  if (!answer.valid) {
    return {"La Partita IVA " + typedNumber +
            " ricercata non è registrata come operatore Intracomunitario"};
  }
  // An answer without a request date has no date to show: the label stands alone.
  const std::string date = answer.requestDate ? shortDate(*answer.requestDate) : std::string();
  return {"Data della richiesta: " + date,
          "Nazione: " + answer.countryCode,
          "Identificativo fiscale: " + answer.vatNumber,
          "Ragione Sociale: " + answer.traderName,
          "Indirizzo: " + answer.traderAddress,
          answer.traderStreet,
          answer.traderPostcode,
          answer.traderCity,
          answer.traderCompanyType};
}

}  // namespace zelvor::vies
