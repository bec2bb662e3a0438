#include "soap/xml_document.h"

#include <libxml/dict.h>
#include <libxml/entities.h>
#include <libxml/hash.h>
#include <libxml/parser.h>

#include <climits>
#include <exception>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "soap/xml_encodings.h"

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

// Every parse starts here: the size is checked, and the encodings the library lacks on this
// system are made known to it.
void CheckSize(std::string_view bytes, std::size_t maxBytes) {
  RegisterSystemEncodings();
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

std::string_view View(const xmlChar* text) {
  return text == nullptr ? std::string_view()
                         : std::string_view(reinterpret_cast<const char*>(text));
}

std::string_view View(const xmlChar* begin, const xmlChar* end) {
  return {reinterpret_cast<const char*>(begin), static_cast<std::size_t>(end - begin)};
}

// A scan's progress, handed to libxml2's SAX callbacks. No exception may cross libxml2: an
// event's exception is kept, the parse stopped, and the exception thrown again afterwards.
struct Scan {
  xmlParserCtxt* ctxt;
  XmlEvents& events;
  bool ended = false;
  std::exception_ptr error;

  static Scan& Of(void* ctx) {
    return *static_cast<Scan*>(static_cast<xmlParserCtxt*>(ctx)->_private);
  }

  template <class Call>
  void Deliver(Call call) {
    if (ended) return;
    try {
      if (call()) return;
    } catch (...) {
      error = std::current_exception();
    }
    End();
  }
  void End() {
    if (ended) return;
    ended = true;
    xmlStopParser(ctxt);
  }
};

// An attribute value with '&' still holds a reference: without entity substitution libxml2
// hands it on undecoded.
bool HoldsReference(const xmlChar** attributes, int count) {
  for (int i = 0; i < count; ++i) {
    if (View(attributes[5 * i + 3], attributes[5 * i + 4]).find('&') != std::string_view::npos) {
      return true;
    }
  }
  return false;
}

void OnStart(void* ctx, const xmlChar* localName, const xmlChar* prefix, const xmlChar* ns, int,
             const xmlChar**, int attributeCount, int, const xmlChar** attributes) {
  Scan& scan = Scan::Of(ctx);
  if (HoldsReference(attributes, attributeCount)) return scan.End();
  scan.Deliver([&] {
    return scan.events.Start(XmlStart(localName, prefix, ns, attributes, attributeCount));
  });
}

void OnEnd(void* ctx, const xmlChar*, const xmlChar*, const xmlChar*) {
  Scan& scan = Scan::Of(ctx);
  scan.Deliver([&] { return scan.events.End(); });
}

void OnText(void* ctx, const xmlChar* text, int length) {
  Scan& scan = Scan::Of(ctx);
  scan.Deliver([&] { return scan.events.Text(View(text, text + length)); });
}

void OnMarkup(void* ctx, const xmlChar*) {
  Scan& scan = Scan::Of(ctx);
  scan.Deliver([&] { return scan.events.Markup(); });
}

void OnProcessingInstruction(void* ctx, const xmlChar*, const xmlChar*) {
  OnMarkup(ctx, nullptr);
}

// A DOCTYPE or an entity reference ends the scan before anything of a DTD is read.
void OnDtd(void* ctx, const xmlChar*, const xmlChar*, const xmlChar*) {
  Scan::Of(ctx).End();
}

void OnReference(void* ctx, const xmlChar*) {
  Scan::Of(ctx).End();
}

// A parser context with its dictionary and stacks costs about as much to create as a small
// answer to scan, so scans borrow one from a pool that any thread may use; a scan started inside
// a scan borrows another. One is dropped instead of kept once its dictionary has grown, lest
// names made up by answers accumulate in it. Not one per thread: MinGW-w64 frees a thread's
// thread_local storage before the destructors of the objects in it run.
class ContextPool {
 public:
  using Context = std::unique_ptr<xmlParserCtxt, ParserCtxtFree>;

  Context Take() {
    {
      const std::lock_guard lock(mutex_);
      if (!idle_.empty()) {
        Context ctxt = std::move(idle_.back());
        idle_.pop_back();
        return ctxt;
      }
    }
    Context ctxt(xmlNewParserCtxt());
    if (!ctxt) throw std::bad_alloc();
    return ctxt;
  }

  void Give(Context ctxt) {
    if (xmlDictGetUsage(ctxt->dict) > kMaxKeptNameBytes) return;
    const std::lock_guard lock(mutex_);
    if (idle_.size() < kMaxIdle) idle_.push_back(std::move(ctxt));
  }

 private:
  static constexpr std::size_t kMaxKeptNameBytes = std::size_t{64} << 10;
  static constexpr std::size_t kMaxIdle = 16;  // twice the most connections a run uses

  std::mutex mutex_;
  std::vector<Context> idle_;
};

ContextPool& Contexts() {
  static ContextPool pool;
  return pool;
}

class LentContext {
 public:
  LentContext() : ctxt_(Contexts().Take()) {}
  ~LentContext() {
    ctxt_->_private = nullptr;
    // Let go of the document's input now rather than at the next scan.
    xmlCtxtReset(ctxt_.get());
    Contexts().Give(std::move(ctxt_));
  }
  LentContext(const LentContext&) = delete;
  LentContext& operator=(const LentContext&) = delete;

  xmlParserCtxt* Get() const { return ctxt_.get(); }

 private:
  ContextPool::Context ctxt_;
};

xmlSAXHandler ScanHandler() {
  xmlSAXHandler handler{};
  handler.initialized = XML_SAX2_MAGIC;
  handler.startElementNs = &OnStart;
  handler.endElementNs = &OnEnd;
  handler.characters = &OnText;
  // Blanks are text, as in a tree parsed with blanks kept.
  handler.ignorableWhitespace = &OnText;
  handler.cdataBlock = &OnText;
  handler.comment = &OnMarkup;
  handler.processingInstruction = &OnProcessingInstruction;
  handler.internalSubset = &OnDtd;
  handler.reference = &OnReference;
  return handler;
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

XmlStart::XmlStart(const xmlChar* localName, const xmlChar* prefix, const xmlChar* ns,
                   const xmlChar** attributes, int attributeCount)
    : localName_(View(localName)),
      prefix_(prefix),
      ns_(ns),
      attributes_(attributes),
      attributeCount_(attributeCount) {}

std::string_view XmlStart::Namespace() const {
  return View(ns_);
}

std::optional<std::string_view> XmlStart::FindAttribute(std::string_view localName,
                                                        std::string_view ns) const {
  for (int i = 0; i < attributeCount_; ++i) {
    const xmlChar** attribute = attributes_ + 5 * i;
    if (View(attribute[0]) == localName && View(attribute[2]) == ns) {
      return View(attribute[3], attribute[4]);
    }
  }
  return std::nullopt;
}

bool ScanXmlSafely(std::string_view bytes, std::size_t maxBytes, XmlEvents& events) {
  CheckSize(bytes, maxBytes);
  if (bytes.empty()) return false;
  const QuietGenericErrors quiet;
  const LentContext lent;
  xmlParserCtxt* ctxt = lent.Get();
  *ctxt->sax = ScanHandler();
  Scan scan{ctxt, events, false, nullptr};
  ctxt->_private = &scan;
  xmlCtxtReadMemory(ctxt, bytes.data(), static_cast<int>(bytes.size()), nullptr, nullptr,
                    kSafeOptions);
  const bool whole = !scan.ended && ctxt->wellFormed != 0;
  if (scan.error) std::rethrow_exception(scan.error);
  return whole;
}

}  // namespace zelvor::soap
