#include "vies-sim/vies_service.h"

#include <map>

#include "sim-common/soap_answer.h"
#include "sim-common/xml_doc.h"
#include "soap/lexical.h"
#include "zelvor/build_settings.h"

namespace zelvor::sim {
namespace {

constexpr std::string_view kPrefix = "env";

Answer InputFault(std::string_view faultString) {
  return SoapFault(kPrefix, "env:Server", faultString);
}

std::string Trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(" \t\r\n");
  return std::string(text.substr(first, last - first + 1));
}

// "1" when the requester's value matches the registered one, "2" when it does not.
std::string_view MatchCode(const std::string& given, const std::string& registered) {
  return soap::EqualsIgnoringAsciiCase(Trimmed(given), Trimmed(registered)) ? "1" : "2";
}

}  // namespace

const std::string& ViesTypesNamespace() {
  static const std::string ns = build::kViesNamespace;
  return ns;
}

Answer ViesService::Serve(const std::string& body, const std::string*, std::string& key) {
  std::string error;
  const XmlDocPtr doc = ParseXml(body, error);
  if (!doc) return InputFault("INVALID_INPUT");
  const xmlNode* request = SoapBodyContent(doc.get(), error);
  if (request == nullptr) return InputFault("INVALID_INPUT");
  const std::string_view operation = LocalName(request);
  if ((operation != "zelvor" && operation != "zelvorApprox") ||
      NamespaceOf(request) != ViesTypesNamespace()) {
    return SoapFault(kPrefix, "env:Client",
                     "Cannot find dispatch method for {" + std::string(NamespaceOf(request)) + "}" +
                         std::string(operation));
  }
  // Fields by local name; a field sent twice keeps its last value.
  std::map<std::string, std::string, std::less<>> fields;
  for (const xmlNode* child : ChildElements(request))
    fields[std::string(LocalName(child))] = TextOf(child);
  const auto field = [&fields](std::string_view name) {
    const auto it = fields.find(name);
    return it == fields.end() ? std::string() : it->second;
  };
  const std::string country = Trimmed(field("countryCode"));
  const std::string number = Trimmed(field("vatNumber"));
  key = country + number;
  if (!SyntheticTraders::KnownCountry(country) || number.empty())
    return InputFault("INVALID_INPUT");

  const std::optional<Trader> trader = traders_.Lookup(country, number);
  const bool approx = operation == "zelvorApprox";
  return {200, std::string(kXmlContentType), SoapEnvelope(kPrefix, [&](XmlWriter& w) {
            w.Start(std::string(operation) + "Response");
            w.Attribute("xmlns", ViesTypesNamespace());
            w.Element("countryCode", country);
            w.Element("vatNumber", number);
            w.Element("requestDate", requestDate_);
            w.Element("valid", trader ? "true" : "false");
            if (!approx) {
              w.Element("name", trader ? trader->name : "---");
              w.Element("address", trader ? trader->Address() : "---");
              return;
            }
            if (trader) {
              w.Element("traderName", trader->name);
              w.Element("traderCompanyType", trader->companyType);
              w.Element("traderAddress", trader->Address());
              w.Element("traderStreet", trader->street);
              w.Element("traderPostcode", trader->postcode);
              w.Element("traderCity", trader->city);
              const std::pair<std::string_view, const std::string*> matched[] = {
                  {"traderName", &trader->name},
                  {"traderCompanyType", &trader->companyType},
                  {"traderStreet", &trader->street},
                  {"traderPostcode", &trader->postcode},
                  {"traderCity", &trader->city}};
              for (const auto& [name, registered] : matched) {
                if (fields.contains(name))
                  w.Element(std::string(name) + "Match", MatchCode(field(name), *registered));
              }
            }
            w.Element(
                "requestIdentifier",
                traders_.RequestIdentifier(country, number, Trimmed(field("requesterCountryCode")),
                                           Trimmed(field("requesterVatNumber"))));
          })};
}

Answer ViesService::ServiceFault() const {
  return InputFault("MS_UNAVAILABLE");
}

Answer ViesService::OtherFault() const {
  return SoapFault(kPrefix, "env:Server", "SERVICE_UNAVAILABLE", [](XmlWriter& w) {
    w.Start("Diagnostic");
    w.Attribute("xmlns", "urn:zelvor:vies-sim:diagnostics");
    w.Text("the service is down for maintenance");
    w.End();
  });
}

}  // namespace zelvor::sim
