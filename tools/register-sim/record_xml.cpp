#include "register-sim/record_xml.h"

#include <memory>

#include "sim-common/xml_doc.h"

namespace zelvor::sim {
namespace {

using soap::FieldInfo;
using soap::FieldKind;
using soap::Remotable;

void WriteNil(XmlWriter& w, const std::string& name) {
  w.Start(name);
  w.Attribute("i:nil", "true");
  w.End();
}

std::string_view ItemName(const FieldInfo& field) {
  if (!field.itemName.empty()) return field.itemName;
  if (field.itemKind == FieldKind::Record) return field.recordType().name;
  return field.enumType != nullptr ? field.enumType->Name() : "string";
}

void WriteField(XmlWriter& w, const Remotable& record, const FieldInfo& field,
                const PrefixOf& prefixOf) {
  const auto& access = *field.access;
  if (field.Optional() && !access.IsSpecified(record)) return;
  const std::string_view prefix = prefixOf(field.declaredBy());
  const std::string name = Qualified(prefix, field.name);
  switch (field.kind) {
    case FieldKind::Date:
      if (const soap::TXSDate* date = access.Date(record)) {
        w.Element(name, date->Text());
      } else {
        WriteNil(w, name);
      }
      return;
    case FieldKind::Record:
      if (const Remotable* nested = access.Record(record)) {
        w.Start(name);
        WriteFields(w, *nested, prefixOf);
        w.End();
      } else {
        WriteNil(w, name);
      }
      return;
    case FieldKind::Array: {
      w.Start(name);
      const std::string item = Qualified(prefix, ItemName(field));
      for (std::size_t i = 0; i < access.ItemCount(record); ++i) {
        if (field.itemKind == FieldKind::Record) {
          w.Start(item);
          WriteFields(w, *access.ItemRecord(record, i), prefixOf);
          w.End();
        } else {
          w.Element(item, access.ItemLexical(record, i));
        }
      }
      w.End();
      return;
    }
    default:
      w.Element(name, access.Lexical(record));
  }
}

void ReadField(const xmlNode* child, Remotable& record, const FieldInfo& field,
               const std::string& path) {
  const auto& access = *field.access;
  if (IsNil(child)) {
    if (field.kind == FieldKind::Array) {
      access.SetEmptyArray(record);
    } else if (field.kind != FieldKind::Date && field.kind != FieldKind::Record) {
      access.SetEmpty(record);
    }
    return;
  }
  switch (field.kind) {
    case FieldKind::Date:
      access.SetDate(record,
                     std::make_unique<soap::TXSDate>(soap::TXSDate::FromText(TextOf(child))));
      return;
    case FieldKind::Record:
      ReadFields(child, access.NewRecord(record), path);
      return;
    case FieldKind::Array:
      access.SetEmptyArray(record);
      for (const xmlNode* item : ChildElements(child)) {
        if (field.itemKind == FieldKind::Record) {
          ReadFields(item, access.AppendRecord(record), path);
        } else {
          access.AppendLexical(record, TextOf(item));
        }
      }
      return;
    default:
      access.SetLexical(record, TextOf(child));
  }
}

}  // namespace

void WriteFields(XmlWriter& w, const Remotable& record, const PrefixOf& prefixOf) {
  for (const FieldInfo& field : record.Type().fields) WriteField(w, record, field, prefixOf);
}

void ReadFields(const xmlNode* element, Remotable& record, const std::string& path) {
  for (const xmlNode* child : ChildElements(element)) {
    const FieldInfo* field = record.Type().Field(LocalName(child));
    if (field == nullptr) continue;
    const std::string here = path + "/" + std::string(field->name);
    try {
      ReadField(child, record, *field, here);
    } catch (const FieldError&) {
      throw;
    } catch (const std::exception& e) {
      throw FieldError(here, e.what());
    }
  }
}

}  // namespace zelvor::sim
