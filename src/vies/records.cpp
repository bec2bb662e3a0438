#include "vies/records.h"

namespace zelvor::soap {
template <>
const EnumType& EnumTypeOf<vies::matchCode>() {
  static const EnumType type("matchCode", {{"_1", "1"}, {"_2", "2"}, {"_3", "3"}});
  return type;
}
}  // namespace zelvor::soap

namespace zelvor::vies {

using soap::RecordType;
using soap::RecordTypeBuilder;

const RecordType& CheckVatRequest::StaticType() {
  using R = CheckVatRequest;
  static const RecordType type = RecordTypeBuilder<R>("zelvor")
                                     .Required("countryCode", &R::countryCode)
                                     .Required("vatNumber", &R::vatNumber)
                                     .Build();
  return type;
}

const RecordType& CheckVatResponse::StaticType() {
  using R = CheckVatResponse;
  static const RecordType type = RecordTypeBuilder<R>("zelvorResponse")
                                     .Required("countryCode", &R::countryCode)
                                     .Required("vatNumber", &R::vatNumber)
                                     .Required("requestDate", &R::requestDate)
                                     .Required("valid", &R::valid)
                                     .ZELVOR_OPTIONAL(R, name_)
                                     .ZELVOR_OPTIONAL(R, address)
                                     .Build();
  return type;
}

const RecordType& CheckVatApproxRequest::StaticType() {
  using R = CheckVatApproxRequest;
  static const RecordType type = RecordTypeBuilder<R>("zelvorApprox")
                                     .Required("countryCode", &R::countryCode)
                                     .Required("vatNumber", &R::vatNumber)
                                     .ZELVOR_OPTIONAL(R, traderName)
                                     .ZELVOR_OPTIONAL(R, traderCompanyType)
                                     .ZELVOR_OPTIONAL(R, traderStreet)
                                     .ZELVOR_OPTIONAL(R, traderPostcode)
                                     .ZELVOR_OPTIONAL(R, traderCity)
                                     .ZELVOR_OPTIONAL(R, requesterCountryCode)
                                     .ZELVOR_OPTIONAL(R, requesterVatNumber)
                                     .Build();
  return type;
}

const RecordType& CheckVatApproxResponse::StaticType() {
  using R = CheckVatApproxResponse;
  static const RecordType type = RecordTypeBuilder<R>("zelvorApproxResponse")
                                     .Required("countryCode", &R::countryCode)
                                     .Required("vatNumber", &R::vatNumber)
                                     .Required("requestDate", &R::requestDate)
                                     .Required("valid", &R::valid)
                                     .ZELVOR_OPTIONAL(R, traderName)
                                     .ZELVOR_OPTIONAL(R, traderCompanyType)
                                     .ZELVOR_OPTIONAL(R, traderAddress)
                                     .ZELVOR_OPTIONAL(R, traderStreet)
                                     .ZELVOR_OPTIONAL(R, traderPostcode)
                                     .ZELVOR_OPTIONAL(R, traderCity)
                                     .ZELVOR_OPTIONAL(R, traderNameMatch)
                                     .ZELVOR_OPTIONAL(R, traderCompanyTypeMatch)
                                     .ZELVOR_OPTIONAL(R, traderStreetMatch)
                                     .ZELVOR_OPTIONAL(R, traderPostcodeMatch)
                                     .ZELVOR_OPTIONAL(R, traderCityMatch)
                                     .Required("requestIdentifier", &R::requestIdentifier)
                                     .Build();
  return type;
}

}  // namespace zelvor::vies
