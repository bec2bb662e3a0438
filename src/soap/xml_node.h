#pragma once
// Small helpers for reading libxml2 element trees.

#include <libxml/tree.h>

#include <string>
#include <string_view>

namespace zelvor::soap {

std::string_view LocalName(const xmlNode* node);
std::string_view NamespaceOf(const xmlNode* node);
bool IsElement(const xmlNode* node);
xmlNode* FirstElementChild(const xmlNode* node);
xmlNode* NextElement(const xmlNode* node);

// The element's text: its text content when it holds only text, else the concatenated XML
// text of its children; an element without content gives the empty text.
std::string ElementText(const xmlNode* element);
// The node's own XML text, the node itself included.
std::string NodeXml(const xmlNode* node);

// The value of the unprefixed or namespaced attribute; nothing when absent.
bool AttributeValue(const xmlNode* element, const char* name, const char* ns, std::string& value);
// xsi:nil set to "true" (ignoring case) or "1".
bool IsNil(const xmlNode* element);
// The namespace URI and local name of the element's xsi:type; false when it has none.
bool XsiType(const xmlNode* element, std::string& ns, std::string& name);

}  // namespace zelvor::soap
