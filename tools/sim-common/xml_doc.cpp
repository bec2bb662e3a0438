#include "sim-common/xml_doc.h"

namespace zelvor::sim {
namespace {

std::string_view View(const xmlChar* text) {
  return text == nullptr ? std::string_view{}
                         : std::string_view(reinterpret_cast<const char*>(text));
}

}  // namespace

XmlDocPtr ParseXml(std::string_view bytes, std::string& error) {
  try {
    return soap::ParseXmlSafely(bytes, kMaxRequestBytes);
  } catch (const soap::EXmlParseError& e) {
    error = e.what();
    return nullptr;
  }
}

std::string_view LocalName(const xmlNode* node) {
  return View(node->name);
}

std::string_view NamespaceOf(const xmlNode* node) {
  return node->ns == nullptr ? std::string_view{} : View(node->ns->href);
}

std::vector<xmlNode*> ChildElements(const xmlNode* node) {
  std::vector<xmlNode*> out;
  for (xmlNode* child = node->children; child != nullptr; child = child->next) {
    if (child->type == XML_ELEMENT_NODE) out.push_back(child);
  }
  return out;
}

xmlNode* ChildElement(const xmlNode* node, std::string_view localName) {
  for (xmlNode* child = node->children; child != nullptr; child = child->next) {
    if (child->type == XML_ELEMENT_NODE && LocalName(child) == localName) return child;
  }
  return nullptr;
}

std::string TextOf(const xmlNode* node) {
  xmlChar* content = xmlNodeGetContent(node);
  std::string text(View(content));
  xmlFree(content);
  return text;
}

bool IsNil(const xmlNode* node) {
  for (const xmlAttr* attr = node->properties; attr != nullptr; attr = attr->next) {
    if (View(attr->name) != "nil" || attr->ns == nullptr || View(attr->ns->href) != kXsiNamespace) {
      continue;
    }
    const std::string value = TextOf(reinterpret_cast<const xmlNode*>(attr));
    return value == "true" || value == "1";
  }
  return false;
}

xmlNode* SoapBodyContent(const xmlDoc* doc, std::string& error) {
  const xmlNode* root = xmlDocGetRootElement(doc);
  if (root == nullptr || LocalName(root) != "Envelope" || NamespaceOf(root) != kSoap11Namespace) {
    error = "the document is not a SOAP 1.1 envelope";
    return nullptr;
  }
  const xmlNode* body = ChildElement(root, "Body");
  if (body == nullptr || NamespaceOf(body) != kSoap11Namespace) {
    error = "the envelope has no body";
    return nullptr;
  }
  const std::vector<xmlNode*> content = ChildElements(body);
  if (content.empty()) {
    error = "the body is empty";
    return nullptr;
  }
  return content.front();
}

}  // namespace zelvor::sim
