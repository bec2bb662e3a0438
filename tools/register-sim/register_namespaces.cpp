#include "register-sim/register_namespaces.h"

#include "zelvor/build_settings.h"

namespace zelvor::sim {

const std::string& RegisterInterfaceNamespace() {
  static const std::string ns = std::string(build::kRegisterNamespaceHost) + "/v5.0";
  return ns;
}

const std::string& RegisterTypesNamespace() {
  static const std::string ns = RegisterInterfaceNamespace() + "/types";
  return ns;
}

const std::string& RegisterNamespaceOf(const soap::RecordType& type) {
  return type.name == "SzczegolyBledu" || type.name == "BladStruktury"
             ? RegisterInterfaceNamespace()
             : RegisterTypesNamespace();
}

std::string RegisterSoapAction(std::string_view operation) {
  return RegisterInterfaceNamespace() + "/#" + std::string(operation);
}

}  // namespace zelvor::sim
