#include "support/xml_query.h"

#include <libxml/parser.h>
#include <libxml/xpathInternals.h>

#include "register-sim/register_namespaces.h"
#include "vies-sim/vies_service.h"

namespace zelvor::test {
namespace {

const xmlChar* X(const std::string& s) {
  return reinterpret_cast<const xmlChar*>(s.c_str());
}

struct ObjectFree {
  void operator()(xmlXPathObject* o) const { xmlXPathFreeObject(o); }
};

}  // namespace

XmlQuery::XmlQuery(const std::string& body)
    : doc_(xmlReadMemory(body.data(), static_cast<int>(body.size()), nullptr, nullptr,
                         XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING)) {
  if (!doc_) return;
  context_.reset(xmlXPathNewContext(doc_.get()));
  xmlXPathRegisterNs(context_.get(), X("s"), X("http://schemas.xmlsoap.org/soap/envelope/"));
  xmlXPathRegisterNs(context_.get(), X("i"), X("http://www.w3.org/2001/XMLSchema-instance"));
  xmlXPathRegisterNs(context_.get(), X("r"), X(sim::RegisterInterfaceNamespace()));
  xmlXPathRegisterNs(context_.get(), X("t"), X(sim::RegisterTypesNamespace()));
  xmlXPathRegisterNs(context_.get(), X("v"), X(sim::ViesTypesNamespace()));
}

std::vector<std::string> XmlQuery::Texts(const std::string& xpath) const {
  std::vector<std::string> texts;
  if (!context_) return texts;
  std::unique_ptr<xmlXPathObject, ObjectFree> result(
      xmlXPathEvalExpression(X(xpath), context_.get()));
  if (!result || result->nodesetval == nullptr) return texts;
  for (int i = 0; i < result->nodesetval->nodeNr; ++i) {
    xmlChar* content = xmlNodeGetContent(result->nodesetval->nodeTab[i]);
    texts.emplace_back(content == nullptr ? "" : reinterpret_cast<const char*>(content));
    xmlFree(content);
  }
  return texts;
}

std::size_t XmlQuery::Count(const std::string& xpath) const {
  return Texts(xpath).size();
}

std::string XmlQuery::Text(const std::string& xpath) const {
  const auto texts = Texts(xpath);
  return texts.size() == 1 ? texts.front() : std::string();
}

}  // namespace zelvor::test
