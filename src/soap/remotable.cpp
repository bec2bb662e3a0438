#include "soap/remotable.h"

#include <stdexcept>

namespace zelvor::soap {
namespace {

[[noreturn]] void WrongKind(const char* operation) {
  throw std::logic_error(std::string("field accessor: ") + operation +
                         " does not apply to this field's kind");
}

}  // namespace

std::string FieldAccessor::Lexical(const Remotable&) const {
  WrongKind("Lexical");
}
void FieldAccessor::SetLexical(Remotable&, std::string_view) const {
  WrongKind("SetLexical");
}
void FieldAccessor::SetEmpty(Remotable&) const {
  WrongKind("SetEmpty");
}
const TXSDate* FieldAccessor::Date(const Remotable&) const {
  WrongKind("Date");
}
void FieldAccessor::SetDate(Remotable&, std::unique_ptr<TXSDate>) const {
  WrongKind("SetDate");
}
const Remotable* FieldAccessor::Record(const Remotable&) const {
  WrongKind("Record");
}
Remotable& FieldAccessor::NewRecord(Remotable&) const {
  WrongKind("NewRecord");
}
Remotable& FieldAccessor::AdoptRecord(Remotable&, std::unique_ptr<Remotable>) const {
  WrongKind("AdoptRecord");
}
Remotable& FieldAccessor::AppendAdopted(Remotable&, std::unique_ptr<Remotable>) const {
  WrongKind("AppendAdopted");
}
std::size_t FieldAccessor::ItemCount(const Remotable&) const {
  WrongKind("ItemCount");
}
std::string FieldAccessor::ItemLexical(const Remotable&, std::size_t) const {
  WrongKind("ItemLexical");
}
const Remotable* FieldAccessor::ItemRecord(const Remotable&, std::size_t) const {
  WrongKind("ItemRecord");
}
void FieldAccessor::SetEmptyArray(Remotable&) const {
  WrongKind("SetEmptyArray");
}
void FieldAccessor::AppendLexical(Remotable&, std::string_view) const {
  WrongKind("AppendLexical");
}
Remotable& FieldAccessor::AppendRecord(Remotable&) const {
  WrongKind("AppendRecord");
}

const FieldInfo* RecordType::Field(std::string_view fieldName) const {
  for (const FieldInfo& field : fields) {
    if (field.name == fieldName) return &field;
  }
  return nullptr;
}

bool RecordType::DerivesFrom(const RecordType& other) const {
  for (const RecordType* type = this; type != nullptr; type = type->base) {
    if (type == &other) return true;
  }
  return false;
}

std::vector<std::string_view> SpecifiedOptionalFields(const Remotable& record) {
  std::vector<std::string_view> names;
  for (const FieldInfo& field : record.Type().fields) {
    if (field.Optional() && field.access->IsSpecified(record)) names.push_back(field.name);
  }
  return names;
}

}  // namespace zelvor::soap
