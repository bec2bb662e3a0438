#include "soap/envelope_reader.h"

#include <string>

#include "soap/fault_reader.h"
#include "soap/lexical.h"
#include "soap/polish_messages.h"
#include "soap/record_reader.h"
#include "soap/remote_errors.h"
#include "soap/streamed_answer_reader.h"
#include "soap/xml_document.h"
#include "soap/xml_names.h"
#include "soap/xml_node.h"

namespace zelvor::soap {
namespace {

bool IsResultOrReturn(const xmlNode* element) {
  const std::string_view name = LocalName(element);
  return EqualsIgnoringAsciiCase(name, "Result") || EqualsIgnoringAsciiCase(name, "Return");
}

// The only element child, or among several the first named Result or Return.
const xmlNode* SoleOrResultChild(const xmlNode* parent) {
  const xmlNode* first = FirstElementChild(parent);
  if (first == nullptr) return nullptr;
  if (NextElement(first) == nullptr) return first;
  for (const xmlNode* child = first; child != nullptr; child = NextElement(child)) {
    if (IsResultOrReturn(child)) return child;
  }
  return nullptr;
}

const xmlNode* FindBody(const xmlNode* envelope) {
  const std::string_view ns = NamespaceOf(envelope);
  if (LocalName(envelope) != "Envelope" || (ns != kSoapEnvelope11 && ns != kSoapEnvelope12)) {
    throw ESOAPDomConvertError("DocumentElement " + std::string(kSoapEnvelope11) +
                               ":Envelope expected, " + std::string(ns) + ":" +
                               std::string(LocalName(envelope)) + " found");
  }
  if (envelope->children == nullptr) throw ESOAPDomConvertError("Invalid SOAP request");

  const xmlNode* header = nullptr;
  const xmlNode* body = nullptr;
  for (const xmlNode* child = FirstElementChild(envelope); child != nullptr;
       child = NextElement(child)) {
    const std::string_view name = LocalName(child);
    if (name == "Header" || name == "Body") {
      const xmlNode*& slot = name == "Header" ? header : body;
      if (slot != nullptr) throw ESOAPDomConvertError("Invalid SOAP response");
      slot = child;
    }
  }
  // No header type is registered: a header that must be understood cannot be.
  if (header != nullptr) {
    for (const xmlNode* entry = FirstElementChild(header); entry != nullptr;
         entry = NextElement(entry)) {
      std::string value;
      if (AttributeValue(entry, "mustUnderstand", nullptr, value) &&
          (value == "1" || EqualsIgnoringAsciiCase(value, "true"))) {
        throw ERemotableException(
            "Soap header " + std::string(LocalName(entry)) +
                " with attribute 'mustUnderstand' set to true was not handled",
            "MustUnderstand");
      }
    }
  }
  return body;
}

bool IsFault(const xmlNode* element) {
  return element != nullptr && LocalName(element) == "Fault";
}

// Wrapped: the return element is the wrapper's child named by ReturnName (ASCII case ignored),
// else the sole child or the first Result/Return.
const xmlNode* WrappedReturn(const xmlNode* wrapper, const OperationInfo& operation) {
  const std::string returnName = operation.ReturnName();
  if (!returnName.empty()) {
    for (const xmlNode* child = FirstElementChild(wrapper); child != nullptr;
         child = NextElement(child)) {
      if (EqualsIgnoringAsciiCase(LocalName(child), returnName)) return child;
    }
  }
  return SoleOrResultChild(wrapper);
}

}  // namespace

void ReadResponse(const xmlDoc* doc, const InterfaceInfo& service, const OperationInfo& operation,
                  Remotable& result) {
  const xmlNode* envelope = xmlDocGetRootElement(doc);
  if (envelope == nullptr) throw ESOAPDomConvertError("Invalid SOAP request");
  const xmlNode* body = FindBody(envelope);
  const FieldInfo& field = result.Type().fields.at(0);

  const xmlNode* first = body == nullptr ? nullptr : FirstElementChild(body);
  if (IsFault(first)) RaiseFault(first);

  const xmlNode* returned = nullptr;
  std::string wrapperXml;
  if (service.options.literal) {
    returned = body == nullptr ? nullptr : SoleOrResultChild(body);
  } else if (first != nullptr) {
    returned = WrappedReturn(first, operation);
    if (returned == nullptr) wrapperXml = NodeXml(first);
  }
  if (returned != nullptr) {
    ReadFieldValue(returned, field, result);
  } else if (field.kind != FieldKind::Record) {
    throw ESOAPDomConvertError(
        "SOAP Response Packet: element matching function return not found, received \"" +
        wrapperXml + "\"");
  }
}

}  // namespace zelvor::soap

namespace zelvor::soap {

std::unique_ptr<Remotable> ReadAnswer(std::string_view body, const InterfaceInfo& service,
                                      const OperationInfo& operation,
                                      const RecordType& resultType) {
  try {
    if (!service.options.literal) {
      std::unique_ptr<Remotable> streamed = resultType.create();
      if (ReadStreamedAnswer(body, operation, *streamed)) return streamed;
    }
    std::unique_ptr<Remotable> result = resultType.create();
    const XmlDocPtr doc = ParseAnswer(body);
    ReadResponse(doc.get(), service, operation, *result);
    return result;
  } catch (...) {
    // Every answer of every service is read here: its errors become Polish first here alone.
    RethrowAnswerErrorInPolish();
  }
}

}  // namespace zelvor::soap
