#include "soap/xml_document.h"

#include <libxml/parser.h>

#include <climits>
#include <string>

namespace zelvor::soap {
namespace {

struct ParserCtxtFree {
  void operator()(xmlParserCtxt* ctxt) const { xmlFreeParserCtxt(ctxt); }
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

}  // namespace

XmlDocPtr ParseAnswer(std::string_view bytes) {
  if (bytes.size() > static_cast<size_t>(INT_MAX)) throw EXmlParseError("XML document too large");
  const QuietGenericErrors quiet;
  std::unique_ptr<xmlParserCtxt, ParserCtxtFree> ctxt(xmlNewParserCtxt());
  if (!ctxt) throw std::bad_alloc();
  // Entities stay unexpanded, no DTD is loaded and nothing is fetched; errors are collected in
  // the context instead of printed.
  const int options = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;
  XmlDocPtr doc(xmlCtxtReadMemory(ctxt.get(), bytes.data(), static_cast<int>(bytes.size()), nullptr,
                                  nullptr, options));
  if (!doc || !ctxt->wellFormed) {
    const xmlError* error = xmlCtxtGetLastError(ctxt.get());
    if (error == nullptr || error->message == nullptr) {
      throw EXmlParseError("XML document is not well-formed");
    }
    throw EXmlParseError("XML parse error at line " + std::to_string(error->line) + ": " +
                         Trimmed(error->message));
  }
  return doc;
}

}  // namespace zelvor::soap
