#include "workbook/xml_util.h"

#include <libxml/parser.h>

#include <cstring>

#include "workbook/errors.h"
#include "workbook/xlsx_package.h"

namespace zelvor::workbook {
namespace {

// A part read from the package is at most kMaxPartBytes; a sheet converted to UTF-8 or a row cut
// out of it with its enclosing tags stays well below twice that.
constexpr std::size_t kMaxXmlPartBytes = 2 * kMaxPartBytes;

const char* Chars(const xmlChar* s) {
  return reinterpret_cast<const char*>(s);
}
bool IsHex(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// True when text[at..] begins an "_xHHHH_" escape.
bool EscapeAt(std::string_view text, std::size_t at) {
  return at + 7 <= text.size() && text[at] == '_' && text[at + 1] == 'x' && IsHex(text[at + 2]) &&
         IsHex(text[at + 3]) && IsHex(text[at + 4]) && IsHex(text[at + 5]) && text[at + 6] == '_';
}

void AppendUtf8(std::string& out, unsigned cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

void AppendItemText(const xmlNode* node, std::string& out) {
  for (const xmlNode* c = node->children; c != nullptr; c = c->next) {
    if (c->type != XML_ELEMENT_NODE) continue;
    if (IsElement(c, "t")) {
      out += Text(c);
    } else if (IsElement(c, "r")) {
      AppendItemText(c, out);
    }
  }
}

[[noreturn]] void DeclaresDtd(const std::string& part) {
  throw EWorkbookError("the part " + part + " declares a DTD, which a workbook never does");
}

}  // namespace

XmlDocPtr ParseXmlPart(const std::string& xml, const std::string& part) {
  XmlDocPtr doc;
  try {
    doc = soap::ParseXmlSafely(xml, kMaxXmlPartBytes);
  } catch (const soap::EXmlTooLarge&) {
    throw EWorkbookError("the part " + part + " is too large");
  } catch (const soap::EXmlParseError&) {
    throw EWorkbookError("the part " + part + " is not well-formed XML");
  }
  if (doc->intSubset != nullptr || doc->extSubset != nullptr) DeclaresDtd(part);
  return doc;
}

std::string StreamXmlPart(const std::string& xml, const std::string& part,
                          const std::function<bool(xmlTextReader*)>& visit) {
  try {
    return soap::StreamXmlSafely(xml, kMaxXmlPartBytes, visit);
  } catch (const soap::EXmlDtdRefused&) {
    DeclaresDtd(part);
  } catch (const soap::EXmlTooLarge&) {
    throw EWorkbookError("the part " + part + " is too large");
  } catch (const soap::EXmlParseError&) {
    throw EWorkbookError("the part " + part + " is not well-formed XML");
  }
}

std::string_view ReaderLocalName(xmlTextReader* reader) {
  const xmlChar* name = xmlTextReaderConstLocalName(reader);
  return name != nullptr ? Chars(name) : "";
}

std::string SerializeXml(xmlDoc* doc) {
  xmlChar* buffer = nullptr;
  int size = 0;
  xmlDocDumpMemoryEnc(doc, &buffer, &size, "UTF-8");
  if (buffer == nullptr) throw EWorkbookError("out of memory while writing a part");
  std::string out(Chars(buffer), static_cast<std::size_t>(size));
  xmlFree(buffer);
  return out;
}

bool IsElement(const xmlNode* node, std::string_view localName) {
  return node != nullptr && node->type == XML_ELEMENT_NODE && Chars(node->name) == localName;
}

xmlNode* FirstChild(xmlNode* parent, std::string_view localName) {
  if (parent == nullptr) return nullptr;
  for (xmlNode* c = parent->children; c != nullptr; c = c->next) {
    if (IsElement(c, localName)) return c;
  }
  return nullptr;
}

std::vector<xmlNode*> Children(xmlNode* parent, std::string_view localName) {
  std::vector<xmlNode*> out;
  if (parent == nullptr) return out;
  for (xmlNode* c = parent->children; c != nullptr; c = c->next) {
    if (IsElement(c, localName)) out.push_back(c);
  }
  return out;
}

std::string Attribute(const xmlNode* node, std::string_view localName, bool anyNamespace) {
  for (const xmlAttr* a = node->properties; a != nullptr; a = a->next) {
    if (Chars(a->name) != localName) continue;
    if (a->ns != nullptr && !anyNamespace) continue;
    std::string value;
    for (const xmlNode* t = a->children; t != nullptr; t = t->next) {
      if (t->content != nullptr) value += Chars(t->content);
    }
    return value;
  }
  return {};
}

bool HasAttribute(const xmlNode* node, std::string_view localName) {
  for (const xmlAttr* a = node->properties; a != nullptr; a = a->next) {
    if (a->ns == nullptr && Chars(a->name) == localName) return true;
  }
  return false;
}

void SetAttribute(xmlNode* node, const char* name, const std::string& value) {
  xmlSetProp(node, XmlChars(name), XmlChars(value.c_str()));
}

void RemoveAttribute(xmlNode* node, const char* name) {
  xmlUnsetProp(node, XmlChars(name));
}

std::string Text(const xmlNode* node) {
  xmlChar* content = xmlNodeGetContent(node);
  if (content == nullptr) return {};
  std::string out(Chars(content));
  xmlFree(content);
  return out;
}

std::string StringItemText(const xmlNode* item) {
  std::string raw;
  AppendItemText(item, raw);
  return DecodeOoxmlText(raw);
}

std::string EscapeOoxmlText(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    // A literal "_xHHHH_" would read back as the character it names: escape its underscore.
    if (EscapeAt(text, i)) out += "_x005F";
    out.push_back(text[i]);
  }
  return out;
}

std::string DecodeOoxmlText(std::string_view text) {
  if (text.find("_x") == std::string_view::npos) return std::string(text);
  std::string out;
  for (std::size_t i = 0; i < text.size();) {
    if (EscapeAt(text, i)) {
      AppendUtf8(
          out, static_cast<unsigned>(std::stoul(std::string(text.substr(i + 2, 4)), nullptr, 16)));
      i += 7;
    } else {
      out.push_back(text[i++]);
    }
  }
  return out;
}

}  // namespace zelvor::workbook
