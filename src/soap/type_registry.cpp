#include "soap/type_registry.h"

#include <mutex>
#include <stdexcept>

#include "soap/attribute_text.h"

namespace zelvor::soap {

TypeRegistry& TypeRegistry::Instance() {
  static TypeRegistry registry;
  return registry;
}

void TypeRegistry::RegisterRecord(const RecordType& type, std::string_view ns,
                                  std::string_view xmlName, unsigned options) {
  records_[&type] = XmlTypeName{std::string(ns), std::string(xmlName), options};
  byName_[{std::string(ns), std::string(xmlName)}] = &type;
}

void TypeRegistry::RegisterEnum(const EnumType& type, std::string_view ns,
                                std::string_view xmlName) {
  enums_[&type] = XmlTypeName{std::string(ns), std::string(xmlName)};
}

void TypeRegistry::RegisterSimple(std::string_view typeName, std::string_view ns,
                                  std::string_view xmlName) {
  simple_[std::string(typeName)] = XmlTypeName{std::string(ns), std::string(xmlName)};
}

void TypeRegistry::RegisterFieldAttributes(const RecordType& type, std::string_view field,
                                           std::string_view attributes) {
  const FieldInfo* info = type.Field(field);
  if (info == nullptr) {
    throw std::invalid_argument(std::string(type.name) + " has no field " + std::string(field));
  }
  FieldNames& names = fields_[info->access.get()];
  if (auto ext = AttributeValue(attributes, "ExtName")) names.wireName = std::move(*ext);
  if (auto item = AttributeValue(attributes, "ArrayItemName")) names.itemName = std::move(*item);
  fieldNamesVersion_.fetch_add(1, std::memory_order_release);
}

const XmlTypeName* TypeRegistry::Find(const RecordType& type) const {
  const auto it = records_.find(&type);
  return it == records_.end() ? nullptr : &it->second;
}

const XmlTypeName* TypeRegistry::Find(const EnumType& type) const {
  const auto it = enums_.find(&type);
  return it == enums_.end() ? nullptr : &it->second;
}

const XmlTypeName* TypeRegistry::FindSimple(std::string_view typeName) const {
  const auto it = simple_.find(typeName);
  return it == simple_.end() ? nullptr : &it->second;
}

const RecordType* TypeRegistry::FindRecord(std::string_view ns, std::string_view xmlName) const {
  const auto it = byName_.find(std::pair<std::string, std::string>(ns, xmlName));
  return it == byName_.end() ? nullptr : it->second;
}

std::string_view TypeRegistry::FieldNamespace(const FieldInfo& field) const {
  if (field.declaredBy == nullptr) return {};
  const XmlTypeName* declaring = Find(field.declaredBy());
  return declaring == nullptr ? std::string_view() : std::string_view(declaring->ns);
}

std::string_view TypeRegistry::WireName(const FieldInfo& field) const {
  const auto it = fields_.find(field.access.get());
  if (it != fields_.end() && !it->second.wireName.empty()) return it->second.wireName;
  return field.name;
}

const FieldWireNames& TypeRegistry::WireNames(const RecordType& type) const {
  const std::uint64_t version = fieldNamesVersion_.load(std::memory_order_acquire);
  const std::pair key(&type, version);
  {
    const std::shared_lock lock(wireNamesMutex_);
    const auto it = wireNames_.find(key);
    if (it != wireNames_.end()) return it->second;
  }
  const std::unique_lock lock(wireNamesMutex_);
  auto [it, added] = wireNames_.try_emplace(key);
  FieldWireNames& wire = it->second;
  if (added) {
    wire.names.reserve(type.fields.size());
    for (const FieldInfo& field : type.fields) {
      const std::string_view name = WireName(field);
      for (const std::string_view earlier : wire.names) wire.distinct &= earlier != name;
      wire.names.push_back(name);
    }
  }
  return wire;
}

std::string_view TypeRegistry::ItemName(const FieldInfo& field) const {
  const auto it = fields_.find(field.access.get());
  if (it != fields_.end() && !it->second.itemName.empty()) return it->second.itemName;
  if (!field.itemName.empty()) return field.itemName;
  if (field.recordType != nullptr) {
    const RecordType& item = field.recordType();
    const XmlTypeName* registered = Find(item);
    return registered == nullptr ? item.name : std::string_view(registered->name);
  }
  if (field.enumType != nullptr) {
    const XmlTypeName* registered = Find(*field.enumType);
    return registered == nullptr ? field.enumType->Name() : std::string_view(registered->name);
  }
  return "item";
}

}  // namespace zelvor::soap
