#include "soap/xml_node.h"

#include <memory>

#include "soap/lexical.h"
#include "soap/libxml_handles.h"
#include "soap/xml_names.h"

namespace zelvor::soap {
namespace {

bool IsTextNode(const xmlNode* node) {
  return node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE;
}

void AppendXml(const xmlNode* node, std::string& out) {
  XmlBufferPtr buffer(xmlBufferCreate());
  if (!buffer) throw std::bad_alloc();
  if (xmlNodeDump(buffer.get(), node->doc, const_cast<xmlNode*>(node), 0, 0) >= 0) {
    out.append(C(xmlBufferContent(buffer.get())),
               static_cast<size_t>(xmlBufferLength(buffer.get())));
  }
}

}  // namespace

std::string_view LocalName(const xmlNode* node) {
  return node->name == nullptr ? std::string_view() : std::string_view(C(node->name));
}

std::string_view NamespaceOf(const xmlNode* node) {
  return (node->ns == nullptr || node->ns->href == nullptr) ? std::string_view()
                                                            : std::string_view(C(node->ns->href));
}

bool IsElement(const xmlNode* node) {
  return node != nullptr && node->type == XML_ELEMENT_NODE;
}

xmlNode* FirstElementChild(const xmlNode* node) {
  for (xmlNode* child = node->children; child != nullptr; child = child->next) {
    if (IsElement(child)) return child;
  }
  return nullptr;
}

xmlNode* NextElement(const xmlNode* node) {
  for (xmlNode* next = node->next; next != nullptr; next = next->next) {
    if (IsElement(next)) return next;
  }
  return nullptr;
}

std::string ElementText(const xmlNode* element) {
  std::string text;
  bool onlyText = true;
  for (const xmlNode* child = element->children; child != nullptr; child = child->next) {
    if (!IsTextNode(child)) {
      onlyText = false;
      break;
    }
  }
  for (const xmlNode* child = element->children; child != nullptr; child = child->next) {
    if (onlyText) {
      if (child->content != nullptr) text += C(child->content);
    } else {
      AppendXml(child, text);
    }
  }
  return text;
}

std::string NodeXml(const xmlNode* node) {
  std::string text;
  AppendXml(node, text);
  return text;
}

bool AttributeValue(const xmlNode* element, const char* name, const char* ns, std::string& value) {
  xmlAttr* attr = ns == nullptr ? xmlHasNsProp(element, X(name), nullptr)
                                : xmlHasNsProp(element, X(name), X(ns));
  if (attr == nullptr) return false;
  std::unique_ptr<xmlChar, XmlCharFree> content(
      xmlNodeGetContent(reinterpret_cast<xmlNode*>(attr)));
  value = content ? C(content.get()) : "";
  return true;
}

bool IsNil(const xmlNode* element) {
  if (element->properties == nullptr) return false;
  std::string value;
  return AttributeValue(element, "nil", kXmlSchemaInstance, value) && IsNilValue(value);
}

bool XsiType(const xmlNode* element, std::string& ns, std::string& name) {
  if (element->properties == nullptr) return false;
  std::string value;
  if (!AttributeValue(element, "type", kXmlSchemaInstance, value)) return false;
  const size_t colon = value.find(':');
  std::string prefix = colon == std::string::npos ? std::string() : value.substr(0, colon);
  name = colon == std::string::npos ? value : value.substr(colon + 1);
  const xmlNs* declared = xmlSearchNs(element->doc, const_cast<xmlNode*>(element),
                                      prefix.empty() ? nullptr : X(prefix.c_str()));
  ns = (declared != nullptr && declared->href != nullptr) ? C(declared->href) : "";
  return true;
}

}  // namespace zelvor::soap
