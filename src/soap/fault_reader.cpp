#include "soap/fault_reader.h"

#include <string>

#include "soap/lexical.h"
#include "soap/record_reader.h"
#include "soap/remote_errors.h"
#include "soap/type_registry.h"
#include "soap/xml_node.h"

namespace zelvor::soap {
namespace {

struct FaultParts {
  const xmlNode* code = nullptr;
  const xmlNode* string = nullptr;
  const xmlNode* detail = nullptr;
  const xmlNode* actor = nullptr;
};

// The later occurrence of a repeated part wins.
FaultParts ScanParts(const xmlNode* fault) {
  FaultParts parts;
  for (const xmlNode* child = FirstElementChild(fault); child != nullptr;
       child = NextElement(child)) {
    const std::string_view name = LocalName(child);
    if (EqualsIgnoringAsciiCase(name, "faultcode")) parts.code = child;
    if (EqualsIgnoringAsciiCase(name, "faultstring")) parts.string = child;
    if (EqualsIgnoringAsciiCase(name, "detail")) parts.detail = child;
    if (EqualsIgnoringAsciiCase(name, "faultactor")) parts.actor = child;
  }
  return parts;
}

std::string TextOf(const xmlNode* node) {
  return node == nullptr ? std::string() : ElementText(node);
}

// The registered fault record named by the detail: its own xsi:type, else its first element
// child's xsi:type, else that child's namespace and local name. typeElement gets the element
// whose fields fill the record.
const RecordType* FaultRecordType(const xmlNode* detail, const xmlNode*& typeElement) {
  std::string ns;
  std::string name;
  typeElement = detail;
  if (!XsiType(detail, ns, name)) {
    typeElement = FirstElementChild(detail);
    if (typeElement == nullptr) return nullptr;
    if (!XsiType(typeElement, ns, name)) {
      ns = NamespaceOf(typeElement);
      name = LocalName(typeElement);
    }
  }
  const RecordType* type = TypeRegistry::Instance().FindRecord(ns, name);
  return (type != nullptr && type->isFault) ? type : nullptr;
}

}  // namespace

void RaiseFault(const xmlNode* fault) {
  const FaultParts parts = ScanParts(fault);
  std::string message = TextOf(parts.string);
  if (message.empty()) message = NodeXml(parts.detail != nullptr ? parts.detail : fault);
  const std::string detailXml = parts.detail == nullptr ? std::string() : NodeXml(parts.detail);

  if (parts.detail != nullptr) {
    const xmlNode* typeElement = nullptr;
    if (const RecordType* type = FaultRecordType(parts.detail, typeElement)) {
      std::unique_ptr<Remotable> record = type->create();
      auto* error = dynamic_cast<ERemotableException*>(record.get());
      if (error != nullptr) {
        error->SetMessage(message);
        error->SetFaultCode(TextOf(parts.code));
        error->SetFaultActor(TextOf(parts.actor));
        error->SetFaultDetail(detailXml);
        ReadRecord(typeElement, *record);
        error->Raise();
      }
    }
  }
  ERemotableException error(message, TextOf(parts.code), TextOf(parts.actor), detailXml);
  error.Raise();
}

}  // namespace zelvor::soap
