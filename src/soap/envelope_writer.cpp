#include "soap/envelope_writer.h"

#include <libxml/xmlwriter.h>

#include <memory>
#include <stdexcept>

#include "soap/libxml_handles.h"
#include "soap/type_registry.h"
#include "soap/xml_names.h"

namespace zelvor::soap {
namespace {

struct WriterFree {
  void operator()(xmlTextWriter* w) const { xmlFreeTextWriter(w); }
};

// Elements below the body carry plain names; an element whose namespace differs from its
// parent's declares it as the default namespace.
class Writer {
 public:
  Writer() : buffer_(xmlBufferCreate()) {
    if (!buffer_) throw std::bad_alloc();
    writer_.reset(xmlNewTextWriterMemory(buffer_.get(), 0));
    if (!writer_) throw std::bad_alloc();
  }

  xmlTextWriter* Raw() { return writer_.get(); }

  void Start(std::string_view name, std::string_view ns, std::string_view parentNs) {
    Check(xmlTextWriterStartElement(writer_.get(), Name(name)));
    if (ns != parentNs) {
      scratch_.assign(ns);
      Check(xmlTextWriterWriteAttribute(writer_.get(), X("xmlns"), X(scratch_.c_str())));
    }
  }
  void Text(std::string_view text) {
    if (text.empty()) return;
    scratch_.assign(text);
    Check(xmlTextWriterWriteString(writer_.get(), X(scratch_.c_str())));
  }
  void Nil() { Check(xmlTextWriterWriteAttribute(writer_.get(), X("xsi:nil"), X("true"))); }
  void End() { Check(xmlTextWriterEndElement(writer_.get())); }

  void TextElement(std::string_view name, std::string_view ns, std::string_view parentNs,
                   std::string_view text) {
    Start(name, ns, parentNs);
    Text(text);
    End();
  }

  std::string Finish() {
    Check(xmlTextWriterEndDocument(writer_.get()));
    Check(xmlTextWriterFlush(writer_.get()));
    return std::string(reinterpret_cast<const char*>(xmlBufferContent(buffer_.get())),
                       static_cast<size_t>(xmlBufferLength(buffer_.get())));
  }

  static void Check(int rc) {
    if (rc < 0) throw std::runtime_error("XML writer failed");
  }

 private:
  const xmlChar* Name(std::string_view name) {
    name_.assign(name);
    return X(name_.c_str());
  }

  XmlBufferPtr buffer_;
  std::unique_ptr<xmlTextWriter, WriterFree> writer_;
  std::string name_;
  std::string scratch_;
};

void WriteRecord(Writer& w, std::string_view name, std::string_view ns, std::string_view parentNs,
                 const Remotable& record);

void WriteField(Writer& w, const FieldInfo& field, std::string_view parentNs,
                const Remotable& record) {
  const TypeRegistry& types = TypeRegistry::Instance();
  const std::string_view name = types.WireName(field);
  const std::string_view ns = types.FieldNamespace(field);
  const FieldAccessor& access = *field.access;
  switch (field.kind) {
    case FieldKind::Date:
      if (const TXSDate* date = access.Date(record)) {
        w.TextElement(name, ns, parentNs, date->Text());
      } else {
        w.Start(name, ns, parentNs);
        w.Nil();
        w.End();
      }
      return;
    case FieldKind::Record:
      if (const Remotable* nested = access.Record(record)) {
        WriteRecord(w, name, ns, parentNs, *nested);
      } else {
        w.Start(name, ns, parentNs);
        w.Nil();
        w.End();
      }
      return;
    case FieldKind::Array: {
      w.Start(name, ns, parentNs);
      const std::string_view itemName = types.ItemName(field);
      const std::size_t count = access.ItemCount(record);
      for (std::size_t i = 0; i < count; ++i) {
        if (field.itemKind == FieldKind::Record) {
          WriteRecord(w, itemName, ns, ns, *access.ItemRecord(record, i));
        } else {
          w.TextElement(itemName, ns, ns, access.ItemLexical(record, i));
        }
      }
      w.End();
      return;
    }
    default:
      w.TextElement(name, ns, parentNs, access.Lexical(record));
  }
}

void WriteRecord(Writer& w, std::string_view name, std::string_view ns, std::string_view parentNs,
                 const Remotable& record) {
  w.Start(name, ns, parentNs);
  for (const FieldInfo& field : record.Type().fields) {
    if (field.Optional() && !field.access->IsSpecified(record)) continue;
    WriteField(w, field, ns, record);
  }
  w.End();
}

void WriteArgument(Writer& w, std::string_view name, std::string_view ns, std::string_view parentNs,
                   const Argument& argument) {
  if (argument.record != nullptr) {
    WriteRecord(w, name, ns, parentNs, *argument.record);
  } else {
    w.TextElement(name, ns, parentNs, argument.text);
  }
}

}  // namespace

std::string WriteRequest(const InterfaceInfo& service, const OperationInfo& operation,
                         std::span<const Argument> arguments) {
  if (arguments.size() != operation.params.size()) {
    throw std::invalid_argument("Operation " + operation.name + " takes " +
                                std::to_string(operation.params.size()) + " parameters");
  }
  Writer w;
  xmlTextWriter* raw = w.Raw();
  Writer::Check(xmlTextWriterStartDocument(raw, "1.0", nullptr, nullptr));
  Writer::Check(xmlTextWriterStartElement(raw, X("SOAP-ENV:Envelope")));
  Writer::Check(xmlTextWriterWriteAttribute(raw, X("xmlns:SOAP-ENV"), X(kSoapEnvelope11)));
  Writer::Check(xmlTextWriterWriteAttribute(raw, X("xmlns:xsd"), X(kXmlSchema)));
  Writer::Check(xmlTextWriterWriteAttribute(raw, X("xmlns:xsi"), X(kXmlSchemaInstance)));
  Writer::Check(xmlTextWriterStartElement(raw, X("SOAP-ENV:Body")));

  const std::string_view bodyNs = kSoapEnvelope11;
  if (service.options.literal) {
    for (const Argument& argument : arguments) {
      if (argument.record == nullptr) {
        throw std::invalid_argument("A literal parameter of " + operation.name +
                                    " must be a record");
      }
      const XmlTypeName* type = TypeRegistry::Instance().Find(argument.record->Type());
      if (type == nullptr) {
        throw std::invalid_argument("Record type not registered: " +
                                    std::string(argument.record->Type().name));
      }
      WriteRecord(w, type->name, type->ns, bodyNs, *argument.record);
    }
  } else {
    w.Start(operation.WireName(), service.ns, bodyNs);
    for (std::size_t i = 0; i < arguments.size(); ++i) {
      WriteArgument(w, operation.params[i].WireName(), service.ns, service.ns, arguments[i]);
    }
    w.End();
  }
  return w.Finish();
}

}  // namespace zelvor::soap
