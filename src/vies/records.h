#pragma once
// The VAT check service's records. Required fields are public members; optional fields have
// a setter that marks them specified (name_ is sent and read as "name"). The wire names are
// zelvor, zelvorResponse, zelvorApprox and zelvorApproxResponse; the C++ names say what each
// is and keep clear of the project's namespace.

#include <memory>
#include <string>

#include "soap/enum_type.h"
#include "soap/field_table.h"
#include "soap/remotable.h"
#include "soap/xs_date.h"

namespace zelvor::vies {

using companyTypeCode = std::string;

enum class matchCode : unsigned char { _1, _2, _3 };

class CheckVatRequest : public soap::Remotable {
  ZELVOR_RECORD(CheckVatRequest)
  std::string countryCode;
  std::string vatNumber;
};

class CheckVatResponse : public soap::Remotable {
  ZELVOR_RECORD(CheckVatResponse)
  std::string countryCode;
  std::string vatNumber;
  std::unique_ptr<soap::TXSDate> requestDate;
  bool valid = false;
  ZELVOR_OPTIONAL_FIELD(std::string, name_)
  ZELVOR_OPTIONAL_FIELD(std::string, address)
};

class CheckVatApproxRequest : public soap::Remotable {
  ZELVOR_RECORD(CheckVatApproxRequest)
  std::string countryCode;
  std::string vatNumber;
  ZELVOR_OPTIONAL_FIELD(std::string, traderName)
  ZELVOR_OPTIONAL_FIELD(companyTypeCode, traderCompanyType)
  ZELVOR_OPTIONAL_FIELD(std::string, traderStreet)
  ZELVOR_OPTIONAL_FIELD(std::string, traderPostcode)
  ZELVOR_OPTIONAL_FIELD(std::string, traderCity)
  ZELVOR_OPTIONAL_FIELD(std::string, requesterCountryCode)
  ZELVOR_OPTIONAL_FIELD(std::string, requesterVatNumber)
};

class CheckVatApproxResponse : public soap::Remotable {
  ZELVOR_RECORD(CheckVatApproxResponse)
  std::string countryCode;
  std::string vatNumber;
  std::unique_ptr<soap::TXSDate> requestDate;
  bool valid = false;
  ZELVOR_OPTIONAL_FIELD(std::string, traderName)
  ZELVOR_OPTIONAL_FIELD(companyTypeCode, traderCompanyType)
  ZELVOR_OPTIONAL_FIELD(std::string, traderAddress)
  ZELVOR_OPTIONAL_FIELD(std::string, traderStreet)
  ZELVOR_OPTIONAL_FIELD(std::string, traderPostcode)
  ZELVOR_OPTIONAL_FIELD(std::string, traderCity)
  ZELVOR_OPTIONAL_FIELD(vies::matchCode, traderNameMatch)
  ZELVOR_OPTIONAL_FIELD(vies::matchCode, traderCompanyTypeMatch)
  ZELVOR_OPTIONAL_FIELD(vies::matchCode, traderStreetMatch)
  ZELVOR_OPTIONAL_FIELD(vies::matchCode, traderPostcodeMatch)
  ZELVOR_OPTIONAL_FIELD(vies::matchCode, traderCityMatch)
  std::string requestIdentifier;
};

}  // namespace zelvor::vies

namespace zelvor::soap {
template <>
const EnumType& EnumTypeOf<vies::matchCode>();
}  // namespace zelvor::soap
