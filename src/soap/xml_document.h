#pragma once
// Parsing an answer from the network into a libxml2 document, safely: no network access,
// no external entities, no DTD loading; the encoding comes from the document itself.

#include <libxml/tree.h>

#include <memory>
#include <stdexcept>
#include <string_view>

namespace zelvor::soap {

struct XmlDocFree {
  void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};
using XmlDocPtr = std::unique_ptr<xmlDoc, XmlDocFree>;

// The body is not well-formed XML; the message is the parser's.
class EXmlParseError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

XmlDocPtr ParseAnswer(std::string_view bytes);

}  // namespace zelvor::soap
