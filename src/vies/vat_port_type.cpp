#include "vies/vat_port_type.h"

#include <mutex>

#include "soap/soap_call.h"
#include "soap/type_registry.h"
#include "vies/vat_messages.h"
#include "zelvor/build_settings.h"

namespace zelvor::vies {
namespace {

class VatPortProxy final : public VatPortType {
 public:
  explicit VatPortProxy(soap::HttpTransport& transport)
      : transport_(transport), operations_(Operations()) {}

  std::unique_ptr<CheckVatResponse> Check(const vies::CheckVatRequest& parameters) override {
    const soap::Argument argument{&parameters, {}};
    return soap::Call<std::unique_ptr<CheckVatResponse>>(transport_, operations_.check,
                                                         {&argument, 1});
  }
  std::unique_ptr<CheckVatApproxResponse> CheckApprox(
      const vies::CheckVatApproxRequest& parameters) override {
    const soap::Argument argument{&parameters, {}};
    return soap::Call<std::unique_ptr<CheckVatApproxResponse>>(transport_, operations_.checkApprox,
                                                               {&argument, 1});
  }

 private:
  soap::HttpTransport& transport_;
  const VatOperations& operations_;
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
  types.RegisterRecord(CheckVatResponse::StaticType(), ns, "zelvorResponse", soap::kLiteralParam);
  types.RegisterFieldAttributes(CheckVatResponse::StaticType(), "name_", "[ExtName=\"name\"]");
  types.RegisterRecord(CheckVatApproxRequest::StaticType(), ns, "zelvorApprox",
                       soap::kLiteralParam);
  types.RegisterEnum(soap::EnumTypeOf<matchCode>(), ns, "matchCode");
  types.RegisterRecord(CheckVatApproxResponse::StaticType(), ns, "zelvorApproxResponse",
                       soap::kLiteralParam);
  types.RegisterRecord(CheckVatRequest::StaticType(), ns, "zelvor", soap::kLiteralParam);
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

void RegisterVatPortType() {
  static std::once_flag once;
  std::call_once(once, [] {
    RegisterInterface();
    RegisterTypes();
  });
}

}  // namespace zelvor::vies

namespace zelvor::soap {
template <>
std::unique_ptr<vies::VatPortType> BindInterface<vies::VatPortType>(HttpTransport& transport) {
  return std::make_unique<vies::VatPortProxy>(transport);
}
}  // namespace zelvor::soap
