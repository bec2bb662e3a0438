#pragma once
// The VAT check service's interface zelvorPortType and its SOAP binding.

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

class zelvorPortType {
 public:
  virtual ~zelvorPortType() = default;
  // Each returns the answer's record, or null when the answer carries none.
  virtual std::unique_ptr<zelvorResponse> zelvor(const vies::zelvor& parameters) = 0;
  virtual std::unique_ptr<zelvorApproxResponse> zelvorApprox(
      const vies::zelvorApprox& parameters) = 0;
};

// Enters the interface and its types into the SOAP registries; a second call changes nothing.
void RegisterZelvorPortType();

}  // namespace zelvor::vies

namespace zelvor::soap {
template <>
std::unique_ptr<vies::zelvorPortType> BindInterface<vies::zelvorPortType>(HttpTransport& transport);
}  // namespace zelvor::soap
