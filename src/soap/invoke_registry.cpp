#include "soap/invoke_registry.h"

#include <stdexcept>

#include "soap/attribute_text.h"

namespace zelvor::soap {

std::string OperationInfo::ReturnName() const {
  return AttributeValue(attributes, "ReturnName").value_or(std::string());
}

const OperationInfo& InterfaceInfo::Operation(std::string_view operationName) const {
  for (const OperationInfo& operation : operations) {
    if (operation.name == operationName) return operation;
  }
  throw std::invalid_argument("Interface " + name + " has no operation " +
                              std::string(operationName));
}

std::string InterfaceInfo::SoapAction(const OperationInfo& operation) const {
  static constexpr std::string_view kPlaceholder = "%operationName%";
  std::string action = defaultSoapAction;
  if (const size_t pos = action.find(kPlaceholder); pos != std::string::npos) {
    action.replace(pos, kPlaceholder.size(), operation.WireName());
  }
  return action;
}

InvokeRegistry& InvokeRegistry::Instance() {
  static InvokeRegistry registry;
  return registry;
}

void InvokeRegistry::Register(InterfaceInfo info) {
  const std::string key = info.name;
  interfaces_.try_emplace(key, std::move(info));
}

const InterfaceInfo& InvokeRegistry::Interface(std::string_view name) const {
  const auto it = interfaces_.find(name);
  if (it == interfaces_.end()) {
    throw std::invalid_argument("Interface not registered: " + std::string(name));
  }
  return it->second;
}

BoundOperation InvokeRegistry::Bind(std::string_view interfaceName,
                                    std::string_view operationName) const {
  const InterfaceInfo& service = Interface(interfaceName);
  const OperationInfo& operation = service.Operation(operationName);
  return {&service, &operation, service.SoapAction(operation)};
}

}  // namespace zelvor::soap
