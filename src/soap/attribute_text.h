#pragma once
// Attribute texts of the registries: a bracketed list such as
// [ReturnName="lista", ArrayItemName="Item"].

#include <optional>
#include <string>
#include <string_view>

namespace zelvor::soap {

// The value of key in the attribute text, or nothing when the key is absent.
std::optional<std::string> AttributeValue(std::string_view attributes, std::string_view key);

}  // namespace zelvor::soap
