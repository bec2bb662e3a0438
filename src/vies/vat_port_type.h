#pragma once
// The VAT check service's interface and its SOAP binding. On the wire the interface is
// zelvorPortType and its operations zelvor and zelvorApprox.

#include <memory>
#include <string>

#include "soap/http_transport.h"
#include "vies/records.h"

namespace zelvor::vies {

// urn:<operator's domain>:taxud:vies:services:zelvor and the same followed by ":types".
std::string InterfaceNamespace();
std::string TypesNamespace();
// The fixed endpoint of the window's VAT check transport.
std::string Endpoint();

class VatPortType {
 public:
  virtual ~VatPortType() = default;
  // Each returns the answer's record, or null when the answer carries none.
  virtual std::unique_ptr<CheckVatResponse> Check(const vies::CheckVatRequest& parameters) = 0;
  virtual std::unique_ptr<CheckVatApproxResponse> CheckApprox(
      const vies::CheckVatApproxRequest& parameters) = 0;
};

// Enters the interface and its types into the SOAP registries; a second call changes nothing.
void RegisterVatPortType();

}  // namespace zelvor::vies

namespace zelvor::soap {
template <>
std::unique_ptr<vies::VatPortType> BindInterface<vies::VatPortType>(HttpTransport& transport);
}  // namespace zelvor::soap
