#include "soap/enum_type.h"

#include "soap/remote_errors.h"

namespace zelvor::soap {

std::optional<int> EnumType::FromSymbol(std::string_view symbol) const {
  for (int i = 0; i < Count(); ++i) {
    if (values_[i].symbol == symbol) return i;
  }
  return std::nullopt;
}

std::optional<int> EnumType::FromLiteral(std::string_view literal) const {
  for (int i = 0; i < Count(); ++i) {
    if (values_[i].literal == literal) return i;
  }
  return FromSymbol(literal);
}

int EnumType::Parse(std::string_view text) const {
  if (text.empty()) return 0;
  if (auto ordinal = FromLiteral(text)) return *ordinal;
  throw EConvertError("Invalid property element: " + std::string(text));
}

}  // namespace zelvor::soap
