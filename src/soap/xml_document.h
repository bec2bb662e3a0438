#pragma once
// The one way XML from outside (a service's answer, a simulator's request, a workbook part) is
// parsed: libxml2 never reaches the network, never substitutes an entity, never loads or
// validates a DTD, and refuses a document above the caller's size cap. The encoding comes from
// the document itself.

#include <libxml/tree.h>
#include <libxml/xmlreader.h>

#include <cstddef>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
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

// The document is larger than the caller allows.
class EXmlTooLarge : public EXmlParseError {
 public:
  using EXmlParseError::EXmlParseError;
};

// A streamed document declares a DTD (see StreamXmlSafely).
class EXmlDtdRefused : public EXmlParseError {
 public:
  using EXmlParseError::EXmlParseError;
};

// A service's answer above this is refused, as the HTTP exchange refuses it while it arrives.
inline constexpr std::size_t kMaxAnswerBytes = std::size_t{64} << 20;

// The whole tree. Entities a DTD declares are never expanded: references stay references, and
// the replacement text libxml2 keeps beside the tree is dropped, so that no later text
// extraction (xmlNodeGetContent) can expand them either.
XmlDocPtr ParseXmlSafely(std::string_view bytes, std::size_t maxBytes);

// Walks the nodes without holding the tree. `visit` gets the reader at each node and returns
// true when it has taken the node's subtree, which the walk then skips. A document with a DTD is
// refused (EXmlDtdRefused) when its DOCTYPE is reached: a reader keeps no tree whose entity text
// could be dropped. Returns the encoding the document declares ("" if none).
std::string StreamXmlSafely(std::string_view bytes, std::size_t maxBytes,
                            const std::function<bool(xmlTextReader*)>& visit);

// An answer body of a call, parsed as above under kMaxAnswerBytes.
XmlDocPtr ParseAnswer(std::string_view bytes);

}  // namespace zelvor::soap
