#include "sim-common/soap_answer.h"

#include "sim-common/xml_doc.h"

namespace zelvor::sim {

std::string SoapEnvelope(std::string_view prefix, const XmlContent& content) {
  XmlWriter w;
  w.Start(Qualified(prefix, "Envelope"));
  w.Attribute(Qualified("xmlns", prefix), kSoap11Namespace);
  w.Start(Qualified(prefix, "Body"));
  content(w);
  return w.Finish();
}

Answer SoapFault(std::string_view prefix, std::string_view faultCode, std::string_view faultString,
                 const XmlContent& detail, std::string_view lang) {
  return {500, std::string(kXmlContentType), SoapEnvelope(prefix, [&](XmlWriter& w) {
            w.Start(Qualified(prefix, "Fault"));
            w.Element("faultcode", faultCode);
            w.Start("faultstring");
            if (!lang.empty()) w.Attribute("xml:lang", lang);
            w.Text(faultString);
            w.End();
            if (detail) {
              w.Start("detail");
              detail(w);
              w.End();
            }
            w.End();
          })};
}

}  // namespace zelvor::sim
