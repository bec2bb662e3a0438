#include "soap/enum_type.h"

#include "soap/remote_errors.h"

namespace zelvor::soap {

std::optional<int> EnumType::FromSymbol(std::string_view symbol) const {
  for (int i = 0; i < Count(); ++i) {
    if (values_[i].symbol == symbol) return i;
  }
  return std::nullopt;
}

EnumType::EnumType(std::string_view name, std::vector<EnumValue> values)
    : name_(name), values_(std::move(values)) {
  for (int i = 0; i < Count(); ++i) byLiteral_.emplace(values_[i].literal, i);
  for (int i = 0; i < Count(); ++i) byLiteral_.emplace(values_[i].symbol, i);
}

std::optional<int> EnumType::FromLiteral(std::string_view literal) const {
  const auto it = byLiteral_.find(literal);
  if (it == byLiteral_.end()) return std::nullopt;
  return it->second;
}

int EnumType::Parse(std::string_view text) const {
  if (text.empty()) return 0;
  if (auto ordinal = FromLiteral(text)) return *ordinal;
  throw EConvertError("Invalid property element: " + std::string(text));
}

}  // namespace zelvor::soap
