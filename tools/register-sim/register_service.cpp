#include "register-sim/register_service.h"

#include <functional>

#include "register-sim/record_xml.h"
#include "register-sim/register_namespaces.h"
#include "sim-common/soap_answer.h"
#include "sim-common/xml_doc.h"
#include "sim-common/xml_writer.h"

namespace zelvor::sim {
namespace {

using reg::KodBledu;

constexpr std::string_view kSearch = "WyszukajPrzedsiebiorce";
constexpr std::string_view kFetch = "PobierzPrzedsiebiorce";
constexpr std::string_view kLang = "pl-PL";

// Interface-namespace elements are written unprefixed under a default declaration, types
// with the prefix "t".
std::string_view PrefixInResponse(const soap::RecordType& type) {
  return RegisterNamespaceOf(type) == RegisterInterfaceNamespace() ? "" : "t";
}

// The response wrapper of an operation with its return element open inside.
void StartResult(XmlWriter& w, std::string_view operation, std::string_view returnName) {
  w.Start(std::string(operation) + "Response");
  w.Attribute("xmlns", RegisterInterfaceNamespace());
  w.Attribute("xmlns:t", RegisterTypesNamespace());
  w.Attribute("xmlns:i", kXsiNamespace);
  w.Start(returnName);
}

struct StructureError {
  std::string sciezka;
  std::string opis;
};

Answer RegisterFault(KodBledu code, const std::string& message,
                     const std::vector<StructureError>& errors = {}) {
  reg::SzczegolyBledu fault;
  fault.KodBledu = code;
  fault.KomunikatBledu = message;
  if (!errors.empty()) {
    reg::ListaBledowStruktury list;
    for (const auto& e : errors) {
      auto item = std::make_unique<reg::BladStruktury>();
      item->Sciezka = e.sciezka;
      item->Opis = e.opis;
      list.push_back(std::move(item));
    }
    fault.SetListaBledowStruktury(std::move(list));
  }
  const bool client = code != KodBledu::WewnetrznyBladSerwera;
  return SoapFault(
      "s", client ? "s:Client" : "s:Server", message,
      [&](XmlWriter& w) {
        w.Start("SzczegolyBledu");
        w.Attribute("xmlns", RegisterInterfaceNamespace());
        w.Attribute("xmlns:i", kXsiNamespace);
        WriteFields(w, fault, PrefixInResponse);
        w.End();
      },
      kLang);
}

Answer StructureFault(const std::string& path, const std::string& description) {
  return RegisterFault(KodBledu::StrukturaKomunikatu, "Niepoprawna struktura komunikatu.",
                       {{path, description}});
}

// A fault that does not carry the register's fault record.
Answer PlainFault(std::string_view faultCode, const std::string& message) {
  return SoapFault(
      "s", faultCode, message,
      [&](XmlWriter& w) {
        w.Start("ExceptionDetail");
        w.Attribute("xmlns", "http://schemas.datacontract.org/2004/07/System.ServiceModel");
        w.Element("Message", message);
        w.Element("Type", "System.InvalidOperationException");
        w.End();
      },
      kLang);
}

std::string Unquoted(const std::string& action) {
  if (action.size() >= 2 && action.front() == '"' && action.back() == '"') {
    return action.substr(1, action.size() - 2);
  }
  return action;
}

}  // namespace

Answer RegisterService::Serve(const std::string& body, const std::string* soapAction,
                              std::string& key) {
  std::string error;
  const XmlDocPtr doc = ParseXml(body, error);
  if (!doc) return StructureFault("/", error);
  const xmlNode* operation = SoapBodyContent(doc.get(), error);
  if (operation == nullptr) return StructureFault("/Envelope", error);

  const std::string_view name = LocalName(operation);
  if (name != kSearch && name != kFetch) {
    return PlainFault("s:Client", "Nieznana operacja '" + std::string(name) + "'.");
  }
  const std::string expected = RegisterSoapAction(name);
  if (soapAction == nullptr || Unquoted(*soapAction) != expected) {
    return PlainFault("s:Client",
                      "Komunikat z akcją '" + (soapAction ? *soapAction : std::string()) +
                          "' nie może zostać przetworzony; oczekiwano '" + expected + "'.");
  }
  if (NamespaceOf(operation) != RegisterInterfaceNamespace()) {
    return StructureFault(std::string(name),
                          "element poza przestrzenią nazw " + RegisterInterfaceNamespace());
  }
  return name == kSearch ? Search(operation, key) : Fetch(operation, key);
}

Answer RegisterService::Search(const xmlNode* operation, std::string& key) const {
  const xmlNode* element = ChildElement(operation, "parametryWyszukiwaniaPrzedsiebiorcow");
  if (element == nullptr) {
    return RegisterFault(KodBledu::NiepoprawnyArgumentOperacji, "Brak parametrów wyszukiwania.");
  }
  reg::ParametryWyszukiwaniaPrzedsiebiorcowTyp params;
  try {
    ReadFields(element, params, "parametryWyszukiwaniaPrzedsiebiorcow");
  } catch (const FieldError& e) {
    return StructureFault(e.Path(), e.what());
  }
  if (params.NIP_Specified() && !params.NIP().empty()) {
    key = params.NIP();
  } else if (params.NumerReferencyjny_Specified() && !params.NumerReferencyjny().empty()) {
    key = params.NumerReferencyjny();
  } else if (params.DataWydaniaCertyfikatuOd_Specified() && params.DataWydaniaCertyfikatuOd()) {
    key = params.DataWydaniaCertyfikatuOd()->Text();
  } else if (params.FirmaNazwa_Specified()) {
    key = params.FirmaNazwa();
  }
  if (!SyntheticRegister::HasCriteria(params)) {
    return RegisterFault(KodBledu::NiepoprawnyArgumentOperacji,
                         "Nie podano żadnego kryterium wyszukiwania.");
  }
  const std::vector<std::size_t> found = data_.Search(params);
  return {200, std::string(kXmlContentType), SoapEnvelope("s", [&](XmlWriter& w) {
            StartResult(w, kSearch, "listaPrzedsiebiorcowDaneWyszukane");
            for (const std::size_t index : found) {
              const auto& d = data_.At(index);
              reg::PrzedsiebiorcaDaneWyszukaneTyp hit;
              hit.SetNumerReferencyjny(d.NumerReferencyjny());
              hit.FirmaNazwa = d.FirmaNazwa;
              hit.NIP = d.NIP;
              w.Start("t:PrzedsiebiorcaDaneWyszukane");
              WriteFields(w, hit, PrefixInResponse);
              w.End();
            }
          })};
}

Answer RegisterService::Fetch(const xmlNode* operation, std::string& key) const {
  const xmlNode* element = ChildElement(operation, "numerReferencyjny");
  if (element == nullptr) {
    return RegisterFault(KodBledu::NiepoprawnyArgumentOperacji, "Brak numeru referencyjnego.");
  }
  key = TextOf(element);
  const auto* details = data_.FindByReference(key);
  if (details == nullptr) {
    return RegisterFault(KodBledu::BrakDanych,
                         "Nie znaleziono przedsiębiorcy o numerze referencyjnym " + key + ".");
  }
  return {200, std::string(kXmlContentType), SoapEnvelope("s", [&](XmlWriter& w) {
            StartResult(w, kFetch, "przedsiebiorcaSzczegoloweDaneWyszukane");
            WriteFields(w, *details, PrefixInResponse);
          })};
}

Answer RegisterService::ServiceFault() const {
  return RegisterFault(KodBledu::WewnetrznyBladSerwera,
                       "Wewnętrzny błąd serwera. Spróbuj ponownie później.");
}

Answer RegisterService::OtherFault() const {
  return PlainFault("s:Server",
                    "The server was unable to process the request due to an internal error.");
}

}  // namespace zelvor::sim
