#include "soap/record_reader.h"

#include <vector>

#include "soap/type_registry.h"
#include "soap/xml_node.h"

namespace zelvor::soap {
namespace {

// A record for the element: a registered subtype is adopted, else the declared type is created.
Remotable& NewFieldRecord(const xmlNode* element, const FieldInfo& field, Remotable& record,
                          bool append) {
  const RecordType& declared = field.recordType();
  std::unique_ptr<Remotable> subtype = NewRecordFor(element, declared);
  if (&subtype->Type() == &declared) {
    return append ? field.access->AppendRecord(record) : field.access->NewRecord(record);
  }
  return append ? field.access->AppendAdopted(record, std::move(subtype))
                : field.access->AdoptRecord(record, std::move(subtype));
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

std::unique_ptr<Remotable> NewRecordFor(const xmlNode* element, const RecordType& expected) {
  std::string ns;
  std::string name;
  if (XsiType(element, ns, name)) {
    const RecordType* named = TypeRegistry::Instance().FindRecord(ns, name);
    if (named != nullptr && named != &expected && named->DerivesFrom(expected)) {
      return named->create();
    }
  }
  return expected.create();
}

void ReadFieldValue(const xmlNode* element, const FieldInfo& field, Remotable& record) {
  const FieldAccessor& access = *field.access;
  if (IsNil(element)) {
    // A nil record, date or array stays absent; a nil scalar gets its kind's empty value.
    if (field.kind < FieldKind::Date) access.SetEmpty(record);
    return;
  }
  switch (field.kind) {
    case FieldKind::Date:
      access.SetDate(record, std::make_unique<TXSDate>(TXSDate::FromText(ElementText(element))));
      return;
    case FieldKind::Record:
      ReadRecord(element, NewFieldRecord(element, field, record, false));
      return;
    case FieldKind::Array:
      ReadArray(element, field, record);
      return;
    default:
      access.SetLexical(record, ElementText(element));
  }
}

void ReadRecord(const xmlNode* element, Remotable& record) {
  const TypeRegistry& types = TypeRegistry::Instance();
  std::vector<const xmlNode*> children;
  for (const xmlNode* child = FirstElementChild(element); child != nullptr;
       child = NextElement(child)) {
    children.push_back(child);
  }
  std::vector<bool> taken(children.size(), false);
  for (const FieldInfo& field : record.Type().fields) {
    const std::string_view wireName = types.WireName(field);
    for (size_t i = 0; i < children.size(); ++i) {
      if (taken[i] || LocalName(children[i]) != wireName) continue;
      taken[i] = true;
      ReadFieldValue(children[i], field, record);
      break;
    }
  }
}

}  // namespace zelvor::soap
