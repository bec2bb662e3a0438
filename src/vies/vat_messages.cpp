#include "vies/vat_messages.h"

#include "soap/soap_call.h"
#include "vies/vat_port_type.h"

namespace zelvor::vies {

const VatOperations& Operations() {
  static const VatOperations operations = [] {
    RegisterVatPortType();
    const soap::InvokeRegistry& registry = soap::InvokeRegistry::Instance();
    return VatOperations{registry.Bind("zelvorPortType", "zelvor"),
                         registry.Bind("zelvorPortType", "zelvorApprox")};
  }();
  return operations;
}

std::string WriteCheckRequest(const vies::CheckVatRequest& parameters) {
  const soap::Argument argument{&parameters, {}};
  return soap::WriteRequest(Operations().check, {&argument, 1});
}

std::string WriteCheckApproxRequest(const vies::CheckVatApproxRequest& parameters) {
  const soap::Argument argument{&parameters, {}};
  return soap::WriteRequest(Operations().checkApprox, {&argument, 1});
}

std::unique_ptr<CheckVatResponse> ReadCheckAnswer(std::string_view body) {
  return soap::ReadReturn<std::unique_ptr<CheckVatResponse>>(Operations().check, body);
}

std::unique_ptr<CheckVatApproxResponse> ReadCheckApproxAnswer(std::string_view body) {
  return soap::ReadReturn<std::unique_ptr<CheckVatApproxResponse>>(Operations().checkApprox, body);
}

}  // namespace zelvor::vies
