#pragma once
// Small owning wrappers and helpers for the libxml2 trees of workbook parts. Elements are matched
// by local name so that transitional and strict workbooks read alike.

#include <libxml/tree.h>
#include <libxml/xmlreader.h>

#include <charconv>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "soap/xml_document.h"

namespace zelvor::workbook {

inline const xmlChar* XmlChars(const char* s) {
  return reinterpret_cast<const xmlChar*>(s);
}

// The whole text as a decimal integer, else the fallback.
inline int ToInt(std::string_view s, int fallback) {
  int v = fallback;
  auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  return ec == std::errc{} && p == s.data() + s.size() ? v : fallback;
}

using XmlDocPtr = soap::XmlDocPtr;

// Parses as every outside XML is parsed (soap::ParseXmlSafely); a part that declares a DTD is
// refused besides, since a workbook never has one. Throws EWorkbookError("<part> is not
// well-formed XML") for the caller to prefix.
XmlDocPtr ParseXmlPart(const std::string& xml, const std::string& part);
std::string SerializeXml(xmlDoc* doc);
// Walks the part's nodes without holding its whole tree (soap::StreamXmlSafely), with the same
// refusals as ParseXmlPart. `visit` gets the reader at each node and returns true when it has taken
// the node's subtree, which the walk then skips. Returns the encoding the part declares ("" if
// none).
std::string StreamXmlPart(const std::string& xml, const std::string& part,
                          const std::function<bool(xmlTextReader*)>& visit);
// The local name of the reader's node.
std::string_view ReaderLocalName(xmlTextReader* reader);

bool IsElement(const xmlNode* node, std::string_view localName);
xmlNode* FirstChild(xmlNode* parent, std::string_view localName);
std::vector<xmlNode*> Children(xmlNode* parent, std::string_view localName);
// The attribute by local name, without regard to its namespace when `anyNamespace`, else only
// an attribute without namespace.
std::string Attribute(const xmlNode* node, std::string_view localName, bool anyNamespace = false);
bool HasAttribute(const xmlNode* node, std::string_view localName);
void SetAttribute(xmlNode* node, const char* name, const std::string& value);
void RemoveAttribute(xmlNode* node, const char* name);
// Text content of the element and its descendants.
std::string Text(const xmlNode* node);
// A string item (shared or inline): its <t> texts, run texts included, phonetic runs left out,
// with _xHHHH_ escapes decoded.
std::string StringItemText(const xmlNode* item);
// The text with "_xHHHH_" escapes as a spreadsheet stores them, and back.
std::string EscapeOoxmlText(std::string_view text);
std::string DecodeOoxmlText(std::string_view text);

}  // namespace zelvor::workbook
