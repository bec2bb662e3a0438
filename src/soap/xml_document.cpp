#include "soap/xml_document.h"

#include <libxml/entities.h>
#include <libxml/hash.h>
#include <libxml/parser.h>

#include <climits>
#include <string>

namespace zelvor::soap {
namespace {

// Never XML_PARSE_NOENT, XML_PARSE_DTDLOAD, XML_PARSE_DTDVALID, XML_PARSE_DTDATTR or
// XML_PARSE_HUGE; errors are collected instead of printed.
constexpr int kSafeOptions = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;

struct ParserCtxtFree {
  void operator()(xmlParserCtxt* ctxt) const { xmlFreeParserCtxt(ctxt); }
};

struct ReaderFree {
  void operator()(xmlTextReader* reader) const { xmlFreeTextReader(reader); }
};

std::string Trimmed(const char* text) {
  std::string s = text == nullptr ? std::string() : std::string(text);
  while (!s.empty() && (s.back() == '\n' || s.back() == ' ')) s.pop_back();
  return s;
}

void IgnoreGenericError(void*, const char*, ...) {}

// libxml2 prints some errors (encoding conversion) through its generic handler; the parser
// context keeps them anyway, so they are silenced for the parse and the handler restored.
class QuietGenericErrors {
 public:
  QuietGenericErrors() : handler_(xmlGenericError), context_(xmlGenericErrorContext) {
    xmlSetGenericErrorFunc(nullptr, &IgnoreGenericError);
  }
  ~QuietGenericErrors() { xmlSetGenericErrorFunc(context_, handler_); }
  QuietGenericErrors(const QuietGenericErrors&) = delete;
  QuietGenericErrors& operator=(const QuietGenericErrors&) = delete;

 private:
  xmlGenericErrorFunc handler_;
  void* context_;
};

void CheckSize(std::string_view bytes, std::size_t maxBytes) {
  // libxml2 takes the length as an int.
  if (bytes.size() > maxBytes || bytes.size() > static_cast<std::size_t>(INT_MAX)) {
    throw EXmlTooLarge("XML document too large: " + std::to_string(bytes.size()) +
                       " bytes, at most " + std::to_string(maxBytes) + " allowed");
  }
}

[[noreturn]] void ThrowParseError(const xmlError* error) {
  if (error == nullptr || error->message == nullptr) {
    throw EXmlParseError("XML document is not well-formed");
  }
  throw EXmlParseError("XML parse error at line " + std::to_string(error->line) + ": " +
                       Trimmed(error->message));
}

// The parser keeps each referenced entity's parsed content under the entity; dropping it leaves
// the references unexpanded for every reader of the tree.
void DropEntityText(void* payload, void*, const xmlChar*) {
  auto* entity = static_cast<xmlEntity*>(payload);
  if (entity->children != nullptr && entity->owner == 1) xmlFreeNodeList(entity->children);
  entity->children = nullptr;
  entity->last = nullptr;
  entity->owner = 0;
}

}  // namespace

XmlDocPtr ParseXmlSafely(std::string_view bytes, std::size_t maxBytes) {
  CheckSize(bytes, maxBytes);
  const QuietGenericErrors quiet;
  std::unique_ptr<xmlParserCtxt, ParserCtxtFree> ctxt(xmlNewParserCtxt());
  if (!ctxt) throw std::bad_alloc();
  XmlDocPtr doc(xmlCtxtReadMemory(ctxt.get(), bytes.data(), static_cast<int>(bytes.size()), nullptr,
                                  nullptr, kSafeOptions));
  if (!doc || !ctxt->wellFormed || xmlDocGetRootElement(doc.get()) == nullptr) {
    ThrowParseError(xmlCtxtGetLastError(ctxt.get()));
  }
  if (doc->intSubset != nullptr && doc->intSubset->entities != nullptr) {
    xmlHashScan(static_cast<xmlHashTable*>(doc->intSubset->entities), &DropEntityText, nullptr);
  }
  return doc;
}

std::string StreamXmlSafely(std::string_view bytes, std::size_t maxBytes,
                            const std::function<bool(xmlTextReader*)>& visit) {
  CheckSize(bytes, maxBytes);
  const QuietGenericErrors quiet;
  const std::unique_ptr<xmlTextReader, ReaderFree> reader(xmlReaderForMemory(
      bytes.data(), static_cast<int>(bytes.size()), nullptr, nullptr, kSafeOptions));
  if (!reader) throw EXmlParseError("XML document is not well-formed");
  bool sawRoot = false;
  int rc = xmlTextReaderRead(reader.get());
  while (rc == 1) {
    const int type = xmlTextReaderNodeType(reader.get());
    if (type == XML_READER_TYPE_DOCUMENT_TYPE) {
      throw EXmlDtdRefused("XML document declares a DTD");
    }
    sawRoot = sawRoot || type == XML_READER_TYPE_ELEMENT;
    rc = visit(reader.get()) ? xmlTextReaderNext(reader.get()) : xmlTextReaderRead(reader.get());
  }
  if (rc < 0 || !sawRoot) throw EXmlParseError("XML document is not well-formed");
  const xmlChar* encoding = xmlTextReaderConstEncoding(reader.get());
  return encoding != nullptr ? reinterpret_cast<const char*>(encoding) : "";
}

XmlDocPtr ParseAnswer(std::string_view bytes) {
  return ParseXmlSafely(bytes, kMaxAnswerBytes);
}

}  // namespace zelvor::soap
