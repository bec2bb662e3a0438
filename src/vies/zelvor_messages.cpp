#include "vies/zelvor_messages.h"

#include "soap/soap_call.h"
#include "vies/zelvor_port_type.h"

namespace zelvor::vies {

const ZelvorOperations& Operations() {
  static const ZelvorOperations operations = [] {
    RegisterZelvorPortType();
    const soap::InvokeRegistry& registry = soap::InvokeRegistry::Instance();
    return ZelvorOperations{registry.Bind("zelvorPortType", "zelvor"),
                            registry.Bind("zelvorPortType", "zelvorApprox")};
  }();
  return operations;
}

std::string WriteZelvor(const vies::zelvor& parameters) {
  const soap::Argument argument{&parameters, {}};
  return soap::WriteRequest(Operations().zelvor, {&argument, 1});
}

std::string WriteZelvorApprox(const vies::zelvorApprox& parameters) {
  const soap::Argument argument{&parameters, {}};
  return soap::WriteRequest(Operations().zelvorApprox, {&argument, 1});
}

std::unique_ptr<zelvorResponse> ReadZelvor(std::string_view body) {
  return soap::ReadReturn<std::unique_ptr<zelvorResponse>>(Operations().zelvor, body);
}

std::unique_ptr<zelvorApproxResponse> ReadZelvorApprox(std::string_view body) {
  return soap::ReadReturn<std::unique_ptr<zelvorApproxResponse>>(Operations().zelvorApprox, body);
}

}  // namespace zelvor::vies
