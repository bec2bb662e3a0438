#include "soap/record_reader.h"

#include <vector>

#include "soap/type_registry.h"
#include "soap/xml_node.h"

namespace zelvor::soap {
namespace {

// The registered subtype of `declared` that the element names by xsi:type; null when none.
const RecordType* NamedSubtype(const xmlNode* element, const RecordType& declared) {
  std::string ns;
  std::string name;
  if (!XsiType(element, ns, name)) return nullptr;
  const RecordType* named = TypeRegistry::Instance().FindRecord(ns, name);
  return (named != nullptr && named != &declared && named->DerivesFrom(declared)) ? named : nullptr;
}

// The field's new record for the element: of the subtype it names, else of the declared type.
Remotable& NewFieldRecord(const xmlNode* element, const FieldInfo& field, Remotable& record,
                          bool append) {
  const FieldAccessor& access = *field.access;
  if (const RecordType* subtype = NamedSubtype(element, field.recordType())) {
    return append ? access.AppendAdopted(record, subtype->create())
                  : access.AdoptRecord(record, subtype->create());
  }
  return append ? access.AppendRecord(record) : access.NewRecord(record);
}

void ReadArray(const xmlNode* element, const FieldInfo& field, Remotable& record) {
  const FieldAccessor& access = *field.access;
  access.SetEmptyArray(record);
  for (const xmlNode* item = FirstElementChild(element); item != nullptr;
       item = NextElement(item)) {
    if (field.itemKind == FieldKind::Record) {
      Remotable& itemRecord = NewFieldRecord(item, field, record, true);
      if (!IsNil(item)) ReadRecord(item, itemRecord);
    } else {
      access.AppendLexical(record, IsNil(item) ? std::string() : ElementText(item));
    }
  }
}

}  // namespace

void StoreNil(const FieldInfo& field, Remotable& record) {
  // A nil record, date or array stays absent; a nil scalar gets its kind's empty value.
  if (field.kind < FieldKind::Date) field.access->SetEmpty(record);
}

void StoreText(const FieldInfo& field, Remotable& record, std::string_view text) {
  if (field.kind == FieldKind::Date) {
    field.access->SetDate(record, std::make_unique<TXSDate>(TXSDate::FromText(text)));
  } else {
    field.access->SetLexical(record, text);
  }
}

void ReadFieldValue(const xmlNode* element, const FieldInfo& field, Remotable& record) {
  if (IsNil(element)) {
    StoreNil(field, record);
    return;
  }
  switch (field.kind) {
    case FieldKind::Record:
      ReadRecord(element, NewFieldRecord(element, field, record, false));
      return;
    case FieldKind::Array:
      ReadArray(element, field, record);
      return;
    default:
      StoreText(field, record, ElementText(element));
  }
}

void ReadRecord(const xmlNode* element, Remotable& record) {
  const FieldWireNames& wire = TypeRegistry::Instance().WireNames(record.Type());
  std::vector<const xmlNode*> children;
  for (const xmlNode* child = FirstElementChild(element); child != nullptr;
       child = NextElement(child)) {
    children.push_back(child);
  }
  std::vector<bool> taken(children.size(), false);
  const std::vector<FieldInfo>& fields = record.Type().fields;
  for (size_t f = 0; f < fields.size(); ++f) {
    for (size_t i = 0; i < children.size(); ++i) {
      if (taken[i] || LocalName(children[i]) != wire.names[f]) continue;
      taken[i] = true;
      ReadFieldValue(children[i], fields[f], record);
      break;
    }
  }
}

}  // namespace zelvor::soap
