#pragma once
// Reading request documents, parsed as every outside XML is (soap::ParseXmlSafely); elements are
// matched by local name.

#include <libxml/tree.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "soap/xml_document.h"

namespace zelvor::sim {

inline constexpr std::string_view kSoap11Namespace = "http://schemas.xmlsoap.org/soap/envelope/";
inline constexpr std::string_view kXsiNamespace = "http://www.w3.org/2001/XMLSchema-instance";

using XmlDocPtr = soap::XmlDocPtr;

// A request larger than this is refused; the clients' requests are a few kilobytes.
inline constexpr std::size_t kMaxRequestBytes = std::size_t{8} << 20;

// Parses bytes; on failure returns null and puts the parser's message into error.
XmlDocPtr ParseXml(std::string_view bytes, std::string& error);

std::string_view LocalName(const xmlNode* node);
std::string_view NamespaceOf(const xmlNode* node);
std::vector<xmlNode*> ChildElements(const xmlNode* node);
// The first child element with that local name, or null.
xmlNode* ChildElement(const xmlNode* node, std::string_view localName);
std::string TextOf(const xmlNode* node);
// True when the element carries xsi:nil="true" (or "1").
bool IsNil(const xmlNode* node);

// The first element child of the SOAP 1.1 body, or null with the reason in error.
xmlNode* SoapBodyContent(const xmlDoc* doc, std::string& error);

}  // namespace zelvor::sim
