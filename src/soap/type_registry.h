#pragma once
// The type registry: the namespace and XML type name of each record, enumeration and simple
// type, and the attributes registered for record fields. Filled at start-up, read-only after.

#include <atomic>
#include <cstdint>
#include <map>
#include <shared_mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "soap/remotable.h"

namespace zelvor::soap {

// Serialisation option of a record sent as a literal parameter.
inline constexpr unsigned kLiteralParam = 1;

struct XmlTypeName {
  std::string ns;
  std::string name;
  unsigned options = 0;
};

// The wire names of a record type's fields, in table order.
struct FieldWireNames {
  std::vector<std::string_view> names;
  bool distinct = true;  // no two fields share a name
};

class TypeRegistry {
 public:
  static TypeRegistry& Instance();
  TypeRegistry(const TypeRegistry&) = delete;
  TypeRegistry& operator=(const TypeRegistry&) = delete;

  void RegisterRecord(const RecordType& type, std::string_view ns, std::string_view xmlName,
                      unsigned options = 0);
  void RegisterEnum(const EnumType& type, std::string_view ns, std::string_view xmlName);
  // Text and array types: known by name only.
  void RegisterSimple(std::string_view typeName, std::string_view ns, std::string_view xmlName);
  // An attribute text such as [ExtName="name"] or [ArrayItemName="Item"] for one field.
  void RegisterFieldAttributes(const RecordType& type, std::string_view field,
                               std::string_view attributes);

  const XmlTypeName* Find(const RecordType& type) const;
  const XmlTypeName* Find(const EnumType& type) const;
  const XmlTypeName* FindSimple(std::string_view typeName) const;
  const RecordType* FindRecord(std::string_view ns, std::string_view xmlName) const;

  // The namespace of the record type that declares the field; empty when not registered.
  std::string_view FieldNamespace(const FieldInfo& field) const;
  // The registered external name, else the field's name.
  std::string_view WireName(const FieldInfo& field) const;
  // WireName of each field, looked up once per type, and again after a registration of field
  // attributes.
  const FieldWireNames& WireNames(const RecordType& type) const;
  // The registered item name, else the field table's, else the XML name of the item type.
  std::string_view ItemName(const FieldInfo& field) const;

 private:
  TypeRegistry() = default;

  struct FieldNames {
    std::string wireName;
    std::string itemName;
  };

  std::unordered_map<const RecordType*, XmlTypeName> records_;
  std::unordered_map<const EnumType*, XmlTypeName> enums_;
  std::map<std::string, XmlTypeName, std::less<>> simple_;
  std::map<std::pair<std::string, std::string>, const RecordType*> byName_;
  // Keyed by the field's accessor, which a derived record's copy of the field shares.
  std::unordered_map<const FieldAccessor*, FieldNames> fields_;
  // Counts registrations of field attributes; wire names cached at an older count are looked
  // up again.
  std::atomic<std::uint64_t> fieldNamesVersion_{0};
  // WireNames' answers, shared by every thread and never erased, so a returned reference stays
  // valid. Not one cache per thread: MinGW-w64 frees a thread's thread_local storage before the
  // destructors of the objects in it run.
  mutable std::shared_mutex wireNamesMutex_;
  mutable std::map<std::pair<const RecordType*, std::uint64_t>, FieldWireNames> wireNames_;
};

}  // namespace zelvor::soap
