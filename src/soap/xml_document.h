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
#include <optional>
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

// An element's start as ScanXmlSafely reports it.
class XmlStart {
 public:
  XmlStart(const xmlChar* localName, const xmlChar* prefix, const xmlChar* ns,
           const xmlChar** attributes, int attributeCount);

  std::string_view LocalName() const { return localName_; }
  // libxml2 keeps one copy of each name for the whole of a parse, so within one scan two
  // elements have the same key exactly when they have the same local name.
  const void* NameKey() const { return localName_.data(); }
  // The namespace URI; empty when the element has none.
  std::string_view Namespace() const;
  // A prefix no declaration binds: a tree names such an element "prefix:local".
  bool UnboundPrefix() const { return prefix_ != nullptr && ns_ == nullptr; }
  // The value of the attribute with this local name and namespace URI.
  std::optional<std::string_view> Attribute(std::string_view localName, std::string_view ns) const {
    if (attributeCount_ == 0) return std::nullopt;
    return FindAttribute(localName, ns);
  }

 private:
  std::optional<std::string_view> FindAttribute(std::string_view localName,
                                                std::string_view ns) const;

  std::string_view localName_;
  const xmlChar* prefix_;
  const xmlChar* ns_;
  const xmlChar** attributes_;  // libxml2's five pointers per attribute
  int attributeCount_;
};

// What ScanXmlSafely reports, in document order. Each call returns false to end the scan.
class XmlEvents {
 public:
  virtual ~XmlEvents() = default;
  virtual bool Start(const XmlStart& element) = 0;
  virtual bool End() = 0;
  // Character data and CDATA content, entities decoded; one run may come in several pieces.
  virtual bool Text(std::string_view text) = 0;
  // A comment or a processing instruction.
  virtual bool Markup() = 0;
};

// Parses as ParseXmlSafely does, under the same limits, but holds no tree: the elements and
// text go to `events` as they are read. True when the whole document was well-formed and
// `events` never ended the scan. False as well for a document that declares a DTD, refers to
// an entity or holds an attribute value with a reference: the caller parses such a document as
// a tree, which also gives the exact error of one that is not well-formed. Throws EXmlTooLarge
// as ParseXmlSafely does, and what `events` throws.
bool ScanXmlSafely(std::string_view bytes, std::size_t maxBytes, XmlEvents& events);

}  // namespace zelvor::soap
