#pragma once
// Canonical XML (C14N 1.0) of a document, so that two documents compare by content and
// namespaces rather than by serialisation details. Blank text between elements is dropped.

#include <libxml/c14n.h>
#include <libxml/parser.h>

#include <stdexcept>
#include <string>
#include <string_view>

namespace zelvor::test {

inline std::string CanonicalXml(std::string_view xml) {
  xmlDoc* doc = xmlReadMemory(xml.data(), static_cast<int>(xml.size()), nullptr, nullptr,
                              XML_PARSE_NOBLANKS | XML_PARSE_NONET);
  if (doc == nullptr) throw std::runtime_error("not XML: " + std::string(xml));
  xmlChar* out = nullptr;
  const int size = xmlC14NDocDumpMemory(doc, nullptr, XML_C14N_1_0, nullptr, 0, &out);
  xmlFreeDoc(doc);
  if (size < 0) throw std::runtime_error("C14N failed");
  std::string result(reinterpret_cast<const char*>(out), static_cast<size_t>(size));
  xmlFree(out);
  return result;
}

// Replaces every occurrence of each {KEY} in text.
inline std::string Fill(std::string text, std::string_view key, std::string_view value) {
  for (size_t pos = text.find(key); pos != std::string::npos; pos = text.find(key, pos)) {
    text.replace(pos, key.size(), value);
    pos += value.size();
  }
  return text;
}

}  // namespace zelvor::test
