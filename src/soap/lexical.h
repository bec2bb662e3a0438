#pragma once
// Lexical forms of the scalar kinds on the wire, and their conversion errors.

#include <cstdint>
#include <string>
#include <string_view>

namespace zelvor::soap {

std::string ToLexical(std::int32_t value);
std::string ToLexical(std::int64_t value);
std::string ToLexical(bool value);

// Throw EConvertError "'%s' is not a valid integer value".
std::int32_t ParseInt32(std::string_view text);
std::int64_t ParseInt64(std::string_view text);
// "true"/"1" and "false"/"0"/"" ignoring case; anything else throws
// EConvertError "Invalid property element: %s".
bool ParseBoolean(std::string_view text);

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b);

// An xsi:nil value that marks its element nil: "true" (ignoring case) or "1".
bool IsNilValue(std::string_view value);

}  // namespace zelvor::soap
