#include "soap/lexical.h"

#include <charconv>

#include "soap/remote_errors.h"

namespace zelvor::soap {
namespace {

char LowerAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

template <class Int>
Int ParseInteger(std::string_view text) {
  std::string_view digits = text;
  if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
  Int value{};
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (digits.empty() || error != std::errc() || end != digits.data() + digits.size()) {
    throw EConvertError("'" + std::string(text) + "' is not a valid integer value");
  }
  return value;
}

}  // namespace

std::string ToLexical(std::int32_t value) {
  return std::to_string(value);
}
std::string ToLexical(std::int64_t value) {
  return std::to_string(value);
}
std::string ToLexical(bool value) {
  return value ? "true" : "false";
}

std::int32_t ParseInt32(std::string_view text) {
  return ParseInteger<std::int32_t>(text);
}
std::int64_t ParseInt64(std::string_view text) {
  return ParseInteger<std::int64_t>(text);
}

bool ParseBoolean(std::string_view text) {
  if (EqualsIgnoringAsciiCase(text, "true") || text == "1") return true;
  if (text.empty() || EqualsIgnoringAsciiCase(text, "false") || text == "0") return false;
  throw EConvertError("Invalid property element: " + std::string(text));
}

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  }
  return true;
}

bool IsNilValue(std::string_view value) {
  return EqualsIgnoringAsciiCase(value, "true") || value == "1";
}

}  // namespace zelvor::soap
