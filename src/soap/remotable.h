#pragma once
// Records of the web services and their field tables. The envelope writer and reader walk
// a record through its RecordType without knowing the concrete class.

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "soap/enum_type.h"
#include "soap/xs_date.h"

namespace zelvor::soap {

enum class FieldKind { Text, Int32, Int64, Boolean, Enumeration, Date, Record, Array };

// The flag word of a field: a field without flags is required.
inline constexpr unsigned kFieldOptional = 1;
inline constexpr unsigned kFieldNillable = 4;

class Remotable;
struct RecordType;
using RecordTypeRef = const RecordType& (*)();

// Reads and writes one field of a record generically. Setting goes through the field's
// setter semantics: an optional field becomes specified whatever the value.
class FieldAccessor {
 public:
  virtual ~FieldAccessor() = default;

  // Always true for a required field.
  virtual bool IsSpecified(const Remotable& record) const = 0;

  // Scalars (text, numbers, boolean, enumeration) in their wire form.
  virtual std::string Lexical(const Remotable& record) const;
  virtual void SetLexical(Remotable& record, std::string_view text) const;
  // A nil-marked scalar: the empty value of its kind.
  virtual void SetEmpty(Remotable& record) const;

  virtual const TXSDate* Date(const Remotable& record) const;
  virtual void SetDate(Remotable& record, std::unique_ptr<TXSDate> date) const;

  virtual const Remotable* Record(const Remotable& record) const;
  // Assigns a new record of the field's declared type and returns it for filling.
  virtual Remotable& NewRecord(Remotable& record) const;
  // Assigns a record created by the caller: a registered subtype of the field's type.
  virtual Remotable& AdoptRecord(Remotable& record, std::unique_ptr<Remotable> value) const;

  virtual std::size_t ItemCount(const Remotable& record) const;
  virtual std::string ItemLexical(const Remotable& record, std::size_t index) const;
  virtual const Remotable* ItemRecord(const Remotable& record, std::size_t index) const;
  // Assigns an empty array; items are then appended one by one.
  virtual void SetEmptyArray(Remotable& record) const;
  virtual void AppendLexical(Remotable& record, std::string_view text) const;
  virtual Remotable& AppendRecord(Remotable& record) const;
  virtual Remotable& AppendAdopted(Remotable& record, std::unique_ptr<Remotable> item) const;
};

struct FieldInfo {
  std::string_view name;  // also the element name unless the binding registers another
  FieldKind kind = FieldKind::Text;
  unsigned flags = 0;
  FieldKind itemKind = FieldKind::Text;  // arrays only
  std::string_view itemName;             // arrays: the element wrapping each item
  const EnumType* enumType = nullptr;    // enumeration fields and items
  RecordTypeRef recordType = nullptr;    // record fields and items
  RecordTypeRef declaredBy = nullptr;    // the record type that declares the field
  std::shared_ptr<const FieldAccessor> access;

  bool Optional() const { return (flags & kFieldOptional) != 0; }
};

struct RecordType {
  std::string_view name;
  const RecordType* base = nullptr;
  std::vector<FieldInfo> fields;  // declaration order, the base's fields first
  std::function<std::unique_ptr<Remotable>()> create;
  bool isFault = false;  // the record is also an ERemotableException

  const FieldInfo* Field(std::string_view fieldName) const;
  bool DerivesFrom(const RecordType& other) const;
};

class Remotable {
 public:
  virtual ~Remotable() = default;
  virtual const RecordType& Type() const = 0;

 protected:
  Remotable() = default;
  Remotable(Remotable&&) = default;
  Remotable& operator=(Remotable&&) = default;
};

// Names of the optional fields of a record whose flag is set, in table order.
std::vector<std::string_view> SpecifiedOptionalFields(const Remotable& record);

}  // namespace zelvor::soap
