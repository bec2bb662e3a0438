#pragma once
// The texts the result sheets show for the register's enumeration values.

#include <string_view>

#include "register/enumerations.h"

namespace zelvor::report {

// A value is shown as the register spells it on the wire: the enumeration's one table of
// literals serves both; "" for a value outside it.
template <typename Enum>
std::string_view DisplayText(Enum value) {
  const soap::EnumType& type = soap::EnumTypeOf<Enum>();
  const int ordinal = static_cast<int>(value);
  return ordinal < type.Count() ? type.Literal(ordinal) : std::string_view{};
}

}  // namespace zelvor::report
