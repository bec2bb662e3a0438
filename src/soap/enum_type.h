#pragma once
// An enumeration of a web service: ordinals in declaration order, each value with its
// symbolic name and its wire literal (the same text when the binding registers none).

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace zelvor::soap {

struct EnumValue {
  std::string_view symbol;
  std::string_view literal;
};

class EnumType {
 public:
  EnumType(std::string_view name, std::vector<EnumValue> values);

  std::string_view Name() const { return name_; }
  int Count() const { return static_cast<int>(values_.size()); }
  std::string_view Symbol(int ordinal) const { return values_.at(ordinal).symbol; }
  std::string_view Literal(int ordinal) const { return values_.at(ordinal).literal; }

  std::optional<int> FromSymbol(std::string_view symbol) const;
  // The registered literal first, then the symbolic name.
  std::optional<int> FromLiteral(std::string_view literal) const;
  // Wire reading: empty text gives ordinal 0; an unknown text throws
  // EConvertError "Invalid property element: %s".
  int Parse(std::string_view text) const;

 private:
  std::string_view name_;
  std::vector<EnumValue> values_;
  // FromLiteral's answers: each literal, then each symbol that is no literal, to the first
  // value that has it. Answers are read by the hundred, and some enumerations are long.
  std::unordered_map<std::string_view, int> byLiteral_;
};

// Each enumeration type E specialises this to return its table.
template <class E>
const EnumType& EnumTypeOf();

template <class E>
std::string_view LiteralOf(E value) {
  return EnumTypeOf<E>().Literal(static_cast<int>(value));
}

template <class E>
std::string_view SymbolOf(E value) {
  return EnumTypeOf<E>().Symbol(static_cast<int>(value));
}

}  // namespace zelvor::soap
