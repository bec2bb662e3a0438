#include "vies/zelvor_port_type.h"

#include <mutex>

#include "soap/soap_call.h"
#include "soap/type_registry.h"
#include "vies/zelvor_messages.h"
#include "zelvor/build_settings.h"

namespace zelvor::vies {
namespace {

class ZelvorPortTypeProxy final : public zelvorPortType {
 public:
  explicit ZelvorPortTypeProxy(soap::HttpTransport& transport)
      : transport_(transport), operations_(Operations()) {}

  std::unique_ptr<zelvorResponse> zelvor(const vies::zelvor& parameters) override {
    const soap::Argument argument{&parameters, {}};
    return soap::Call<std::unique_ptr<zelvorResponse>>(transport_, operations_.zelvor,
                                                       {&argument, 1});
  }
  std::unique_ptr<zelvorApproxResponse> zelvorApprox(
      const vies::zelvorApprox& parameters) override {
    const soap::Argument argument{&parameters, {}};
    return soap::Call<std::unique_ptr<zelvorApproxResponse>>(transport_, operations_.zelvorApprox,
                                                             {&argument, 1});
  }

 private:
  soap::HttpTransport& transport_;
  const ZelvorOperations& operations_;
};

void RegisterInterface() {
  soap::InterfaceInfo port;
  port.name = "zelvorPortType";
  port.ns = InterfaceNamespace();
  port.defaultSoapAction = "";
  port.options = soap::InvokeOptions{.document = true, .literal = true, .soap12 = false};
  for (const char* name : {"zelvor", "zelvorApprox"}) {
    soap::OperationInfo operation;
    operation.name = name;
    operation.params.push_back({"parameters", "", ""});
    operation.result = {"parameters", "", ""};
    port.operations.push_back(std::move(operation));
  }
  soap::InvokeRegistry::Instance().Register(std::move(port));
}

void RegisterTypes() {
  soap::TypeRegistry& types = soap::TypeRegistry::Instance();
  const std::string ns = TypesNamespace();
  types.RegisterSimple("companyTypeCode", ns, "companyTypeCode");
  types.RegisterRecord(zelvorResponse::StaticType(), ns, "zelvorResponse", soap::kLiteralParam);
  types.RegisterFieldAttributes(zelvorResponse::StaticType(), "name_", "[ExtName=\"name\"]");
  types.RegisterRecord(zelvorApprox::StaticType(), ns, "zelvorApprox", soap::kLiteralParam);
  types.RegisterEnum(soap::EnumTypeOf<matchCode>(), ns, "matchCode");
  types.RegisterRecord(zelvorApproxResponse::StaticType(), ns, "zelvorApproxResponse",
                       soap::kLiteralParam);
  types.RegisterRecord(zelvor::StaticType(), ns, "zelvor", soap::kLiteralParam);
}

}  // namespace

std::string InterfaceNamespace() {
  static constexpr std::string_view kTypesSuffix = ":types";
  std::string ns = TypesNamespace();
  if (ns.ends_with(kTypesSuffix)) ns.resize(ns.size() - kTypesSuffix.size());
  return ns;
}

std::string TypesNamespace() {
  return build::kViesNamespace;
}

std::string Endpoint() {
  return build::kViesUrl;
}

void RegisterZelvorPortType() {
  static std::once_flag once;
  std::call_once(once, [] {
    RegisterInterface();
    RegisterTypes();
  });
}

}  // namespace zelvor::vies

namespace zelvor::soap {
template <>
std::unique_ptr<vies::zelvorPortType> BindInterface<vies::zelvorPortType>(
    HttpTransport& transport) {
  return std::make_unique<vies::ZelvorPortTypeProxy>(transport);
}
}  // namespace zelvor::soap
