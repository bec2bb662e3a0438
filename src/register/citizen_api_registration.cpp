#include <mutex>

#include "register/citizen_api.h"
#include "soap/type_registry.h"
#include "zelvor/build_settings.h"

namespace zelvor::reg {
namespace {

using soap::TypeRegistry;

void RegisterInterface() {
  const std::string ns = InterfaceNamespace();
  const std::string paramAttributes = "[Namespace=\"" + TypesNamespace() + "\"]";

  soap::InterfaceInfo api;
  api.name = "CitizenApi";
  api.ns = ns;
  api.defaultSoapAction = ns + "/#%operationName%";
  api.options = soap::InvokeOptions{.document = true, .literal = false, .soap12 = false};

  soap::OperationInfo search;
  search.name = "WyszukajPrzedsiebiorce";
  search.attributes = "[ReturnName=\"listaPrzedsiebiorcowDaneWyszukane\"]";
  search.params.push_back({"parametryWyszukiwaniaPrzedsiebiorcow", "", paramAttributes});
  search.result = {"listaPrzedsiebiorcowDaneWyszukane", "",
                   "[ArrayItemName=\"PrzedsiebiorcaDaneWyszukane\"]"};

  soap::OperationInfo details;
  details.name = "PobierzPrzedsiebiorce";
  details.attributes = "[ReturnName=\"przedsiebiorcaSzczegoloweDaneWyszukane\"]";
  details.params.push_back({"numerReferencyjny", "", paramAttributes});
  details.result = {"przedsiebiorcaSzczegoloweDaneWyszukane", "", ""};

  api.operations = {search, details};
  soap::InvokeRegistry::Instance().Register(std::move(api));
}

template <class E>
void RegisterEnum(TypeRegistry& types, const std::string& ns) {
  const soap::EnumType& type = soap::EnumTypeOf<E>();
  types.RegisterEnum(type, ns, type.Name());
}

void RegisterTypes() {
  TypeRegistry& types = TypeRegistry::Instance();
  const std::string ns = InterfaceNamespace();
  const std::string typesNs = TypesNamespace();

  for (const soap::RecordType* type :
       {&SzczegolyBledu::StaticType(), &BladStruktury::StaticType()}) {
    types.RegisterRecord(*type, ns, type->name);
  }
  types.RegisterSimple("ListaBledowStruktury", ns, "ListaBledowStruktury");
  RegisterEnum<KodBledu>(types, ns);

  for (const soap::RecordType* type :
       {&PrzedstawicielPrawnyTyp::StaticType(), &AdresSiedziby::StaticType(),
        &PrzedsiebiorcaDaneWyszukaneTyp::StaticType(), &AdresTyp::StaticType(),
        &WypisZzezwoleniaTyp::StaticType(), &ZarzadzajacyTransportemDaneWyszukaneTyp::StaticType(),
        &ZezwolenieNaWykonywanieZawoduPrzewoznikaDrogowegoTyp::StaticType(),
        &WypisZLicencjiTyp::StaticType(), &PrzedsiebiorcaSzczegoloweDaneWyszukaneTyp::StaticType(),
        &LicencjaWspolnotowaTyp::StaticType(),
        &ParametryWyszukiwaniaPrzedsiebiorcowTyp::StaticType()}) {
    types.RegisterRecord(*type, typesNs, type->name);
  }
  for (const char* simple : {"ListaPrzedsiebiorcowDaneWyszukaneTyp",
                             "ListaZarzadzajacyTransportemDaneWyszukaneTyp",
                             "ListaZezwolenieNaWykonywanieZawoduPrzewoznikaDrogowegoTyp",
                             "ListaLicencjaWspolnotowaTyp",
                             "ListaWypisowZLicencjiTyp",
                             "ListaWypisowZzezwoleniaTyp",
                             "ListaPrzedstawicieliPrawnychTyp",
                             "ListaZakresowPosiadanychZezwolenTyp",
                             "ListaZakresowPosiadanychLicencjiTyp",
                             "ListaKrajowTyp",
                             "ListaWojewodztwTyp",
                             "NumerReferencyjnyPrzedsiebiorcyTyp",
                             "KodPocztowyTyp",
                             "NumerNIPTyp",
                             "NumerCertyfikatuTyp",
                             "FirmaNazwaTyp",
                             "IdentyfikatorWartosciSlownikowejTyp",
                             "Napis100ZnakowTyp",
                             "ZezwolenieNumerTyp",
                             "Napis10ZnakowTyp",
                             "LicencjaWspolnotowaNumerTyp"}) {
    types.RegisterSimple(simple, typesNs, simple);
  }
  RegisterEnum<RodzajCertyfikatuTyp>(types, typesNs);
  RegisterEnum<ZakresZezwoleniaTyp>(types, typesNs);
  RegisterEnum<StatusZezwoleniaTyp>(types, typesNs);
  RegisterEnum<StatusWypisuTyp>(types, typesNs);
  RegisterEnum<RodzajWypisuZLicencjiTyp>(types, typesNs);
  RegisterEnum<ZakresLicencjiTyp>(types, typesNs);
  RegisterEnum<StatusLicencjiTyp>(types, typesNs);
  RegisterEnum<KrajTyp>(types, typesNs);
  RegisterEnum<WojewodztwoTyp>(types, typesNs);
}

}  // namespace

std::string InterfaceNamespace() {
  return std::string(build::kRegisterNamespaceHost) + "/v5.0";
}

std::string TypesNamespace() {
  return InterfaceNamespace() + "/types";
}

std::string ProductionEndpoint() {
  return std::string(build::kRegisterHost) + "/CitizenApi.svc";
}

void RegisterCitizenApi() {
  static std::once_flag once;
  std::call_once(once, [] {
    RegisterInterface();
    RegisterTypes();
  });
}

}  // namespace zelvor::reg
