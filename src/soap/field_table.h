#pragma once
// Builds a record's field table from pointers to its members, and the macros that declare
// optional fields with their setter and _Specified query.

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "soap/lexical.h"
#include "soap/remotable.h"

namespace zelvor::soap {
namespace detail {

template <class T>
struct IsUniquePtr : std::false_type {};
template <class T>
struct IsUniquePtr<std::unique_ptr<T>> : std::true_type {};
template <class T>
struct IsVector : std::false_type {};
template <class T>
struct IsVector<std::vector<T>> : std::true_type {};

// Scalar traits: kind, wire form, conversion from the wire, and the empty value.
template <class T, class Enable = void>
struct Scalar;

template <>
struct Scalar<std::string> {
  static constexpr FieldKind kKind = FieldKind::Text;
  static std::string ToText(const std::string& v) { return v; }
  static std::string FromText(std::string_view t) { return std::string(t); }
};
template <>
struct Scalar<std::int32_t> {
  static constexpr FieldKind kKind = FieldKind::Int32;
  static std::string ToText(std::int32_t v) { return ToLexical(v); }
  static std::int32_t FromText(std::string_view t) { return ParseInt32(t); }
};
template <>
struct Scalar<std::int64_t> {
  static constexpr FieldKind kKind = FieldKind::Int64;
  static std::string ToText(std::int64_t v) { return ToLexical(v); }
  static std::int64_t FromText(std::string_view t) { return ParseInt64(t); }
};
template <>
struct Scalar<bool> {
  static constexpr FieldKind kKind = FieldKind::Boolean;
  static std::string ToText(bool v) { return ToLexical(v); }
  static bool FromText(std::string_view t) { return ParseBoolean(t); }
};
template <class E>
struct Scalar<E, std::enable_if_t<std::is_enum_v<E>>> {
  static constexpr FieldKind kKind = FieldKind::Enumeration;
  static std::string ToText(E v) { return std::string(LiteralOf(v)); }
  static E FromText(std::string_view t) { return static_cast<E>(EnumTypeOf<E>().Parse(t)); }
};

template <class T>
constexpr bool IsRecordPtr() {
  if constexpr (IsUniquePtr<T>::value) {
    return std::is_base_of_v<Remotable, typename T::element_type>;
  } else {
    return false;
  }
}

template <class T>
constexpr bool IsRecordArray() {
  if constexpr (IsVector<T>::value) {
    return IsRecordPtr<typename T::value_type>();
  } else {
    return false;
  }
}

template <class T>
constexpr bool IsScalarArray() {
  if constexpr (IsVector<T>::value) {
    return !IsRecordPtr<typename T::value_type>();
  } else {
    return false;
  }
}

template <class T>
constexpr FieldKind KindOf() {
  if constexpr (std::is_same_v<T, std::unique_ptr<TXSDate>>) {
    return FieldKind::Date;
  } else if constexpr (IsRecordPtr<T>()) {
    return FieldKind::Record;
  } else if constexpr (IsVector<T>::value) {
    return FieldKind::Array;
  } else {
    return Scalar<T>::kKind;
  }
}

// Takes over a record whose dynamic type must be Target or derive from it.
template <class Target>
std::unique_ptr<Target> Downcast(std::unique_ptr<Remotable> value) {
  if (dynamic_cast<Target*>(value.get()) == nullptr) {
    throw std::logic_error("record of type " + std::string(value->Type().name) +
                           " assigned to a field of another type");
  }
  return std::unique_ptr<Target>(dynamic_cast<Target*>(value.release()));
}

template <class R, class T>
class MemberAccessor final : public FieldAccessor {
 public:
  MemberAccessor(T R::*member, bool R::*flag) : member_(member), flag_(flag) {}

  bool IsSpecified(const Remotable& r) const override { return flag_ == nullptr || Self(r).*flag_; }

  std::string Lexical(const Remotable& r) const override {
    if constexpr (KindOf<T>() <= FieldKind::Enumeration) {
      return Scalar<T>::ToText(Value(r));
    } else {
      return FieldAccessor::Lexical(r);
    }
  }
  void SetLexical(Remotable& r, std::string_view text) const override {
    if constexpr (KindOf<T>() <= FieldKind::Enumeration) {
      Assign(r, Scalar<T>::FromText(text));
    } else {
      FieldAccessor::SetLexical(r, text);
    }
  }
  void SetEmpty(Remotable& r) const override {
    if constexpr (KindOf<T>() <= FieldKind::Enumeration) {
      Assign(r, T{});
    } else {
      FieldAccessor::SetEmpty(r);
    }
  }

  const TXSDate* Date(const Remotable& r) const override {
    if constexpr (KindOf<T>() == FieldKind::Date) {
      return Value(r).get();
    } else {
      return FieldAccessor::Date(r);
    }
  }
  void SetDate(Remotable& r, std::unique_ptr<TXSDate> date) const override {
    if constexpr (KindOf<T>() == FieldKind::Date) {
      Assign(r, std::move(date));
    } else {
      FieldAccessor::SetDate(r, std::move(date));
    }
  }

  const Remotable* Record(const Remotable& r) const override {
    if constexpr (KindOf<T>() == FieldKind::Record) {
      return Value(r).get();
    } else {
      return FieldAccessor::Record(r);
    }
  }
  Remotable& NewRecord(Remotable& r) const override {
    if constexpr (KindOf<T>() == FieldKind::Record) {
      Assign(r, std::make_unique<typename T::element_type>());
      return *(Self(r).*member_);
    } else {
      return FieldAccessor::NewRecord(r);
    }
  }

  Remotable& AdoptRecord(Remotable& r, std::unique_ptr<Remotable> value) const override {
    if constexpr (KindOf<T>() == FieldKind::Record) {
      Assign(r, Downcast<typename T::element_type>(std::move(value)));
      return *(Self(r).*member_);
    } else {
      return FieldAccessor::AdoptRecord(r, std::move(value));
    }
  }

  std::size_t ItemCount(const Remotable& r) const override {
    if constexpr (KindOf<T>() == FieldKind::Array) {
      return Value(r).size();
    } else {
      return FieldAccessor::ItemCount(r);
    }
  }
  std::string ItemLexical(const Remotable& r, std::size_t i) const override {
    if constexpr (IsScalarArray<T>()) {
      return Scalar<typename T::value_type>::ToText(Value(r).at(i));
    } else {
      return FieldAccessor::ItemLexical(r, i);
    }
  }
  const Remotable* ItemRecord(const Remotable& r, std::size_t i) const override {
    if constexpr (IsRecordArray<T>()) {
      return Value(r).at(i).get();
    } else {
      return FieldAccessor::ItemRecord(r, i);
    }
  }
  void SetEmptyArray(Remotable& r) const override {
    if constexpr (KindOf<T>() == FieldKind::Array) {
      Assign(r, T{});
    } else {
      FieldAccessor::SetEmptyArray(r);
    }
  }
  void AppendLexical(Remotable& r, std::string_view text) const override {
    if constexpr (IsScalarArray<T>()) {
      (Self(r).*member_).push_back(Scalar<typename T::value_type>::FromText(text));
    } else {
      FieldAccessor::AppendLexical(r, text);
    }
  }
  Remotable& AppendRecord(Remotable& r) const override {
    if constexpr (IsRecordArray<T>()) {
      using Item = typename T::value_type::element_type;
      return *(Self(r).*member_).emplace_back(std::make_unique<Item>());
    } else {
      return FieldAccessor::AppendRecord(r);
    }
  }
  Remotable& AppendAdopted(Remotable& r, std::unique_ptr<Remotable> item) const override {
    if constexpr (IsRecordArray<T>()) {
      using Item = typename T::value_type::element_type;
      return *(Self(r).*member_).emplace_back(Downcast<Item>(std::move(item)));
    } else {
      return FieldAccessor::AppendAdopted(r, std::move(item));
    }
  }

 private:
  static const R& Self(const Remotable& r) { return static_cast<const R&>(r); }
  static R& Self(Remotable& r) { return static_cast<R&>(r); }
  const T& Value(const Remotable& r) const { return Self(r).*member_; }
  void Assign(Remotable& r, T value) const {
    Self(r).*member_ = std::move(value);
    if (flag_ != nullptr) Self(r).*flag_ = true;
  }

  T R::*member_;
  bool R::*flag_;
};

}  // namespace detail

// Builds the RecordType of R. A derived record passes its base's type, whose fields come first.
template <class R>
class RecordTypeBuilder {
 public:
  explicit RecordTypeBuilder(std::string_view name, const RecordType* base = nullptr) {
    type_.name = name;
    type_.base = base;
    if (base != nullptr) type_.fields = base->fields;
    type_.create = [] { return std::unique_ptr<Remotable>(std::make_unique<R>()); };
  }

  template <class T, class Owner>
  RecordTypeBuilder& Required(std::string_view name, T Owner::*member,
                              std::string_view itemName = {}) {
    return Add(name, static_cast<T R::*>(member), nullptr, 0, itemName);
  }

  template <class T, class Owner>
  RecordTypeBuilder& Optional(std::string_view name, T Owner::*member, bool Owner::*flag,
                              std::string_view itemName = {}) {
    return Add(name, static_cast<T R::*>(member), static_cast<bool R::*>(flag), kFieldOptional,
               itemName);
  }

  RecordTypeBuilder& Fault() {
    type_.isFault = true;
    return *this;
  }

  RecordType Build() { return std::move(type_); }

 private:
  template <class T>
  RecordTypeBuilder& Add(std::string_view name, T R::*member, bool R::*flag, unsigned flags,
                         std::string_view itemName) {
    FieldInfo field;
    field.name = name;
    field.kind = detail::KindOf<T>();
    field.flags = flags;
    field.itemName = itemName;
    field.declaredBy = &R::StaticType;
    if constexpr (detail::KindOf<T>() == FieldKind::Array) {
      using Item = typename T::value_type;
      field.itemKind = detail::KindOf<Item>();
      Describe<Item>(field);
    } else {
      Describe<T>(field);
    }
    field.access = std::make_shared<detail::MemberAccessor<R, T>>(member, flag);
    type_.fields.push_back(std::move(field));
    return *this;
  }

  template <class V>
  static void Describe(FieldInfo& field) {
    if constexpr (std::is_enum_v<V>) {
      field.enumType = &EnumTypeOf<V>();
    } else if constexpr (detail::IsRecordPtr<V>()) {
      field.recordType = &V::element_type::StaticType;
    }
  }

  RecordType type_;
};

}  // namespace zelvor::soap

// Declares an optional field: a private value and flag, the getter Name(), the setter
// Set##Name(value) that also sets the flag, and the flag query Name##_Specified().
#define ZELVOR_OPTIONAL_FIELD(Type, Name) \
 public:                                  \
  const Type& Name() const {              \
    return Name##_;                       \
  }                                       \
  void Set##Name(Type value) {            \
    Name##_ = std::move(value);           \
    Name##_Specified_ = true;             \
  }                                       \
  bool Name##_Specified() const {         \
    return Name##_Specified_;             \
  }                                       \
                                          \
 private:                                 \
  Type Name##_{};                         \
  bool Name##_Specified_ = false;         \
                                          \
 public:

// Declares the record's type hooks; the .cpp defines StaticType() with a RecordTypeBuilder.
#define ZELVOR_RECORD(Class)                                \
 public:                                                    \
  static const ::zelvor::soap::RecordType& StaticType();    \
  const ::zelvor::soap::RecordType& Type() const override { \
    return StaticType();                                    \
  }

// A field-table entry for an optional field declared with ZELVOR_OPTIONAL_FIELD.
#define ZELVOR_OPTIONAL(Class, Name, ...) \
  Optional(#Name, &Class::Name##_, &Class::Name##_Specified_ __VA_OPT__(, ) __VA_ARGS__)
