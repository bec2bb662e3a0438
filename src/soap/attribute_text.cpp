#include "soap/attribute_text.h"

namespace zelvor::soap {
namespace {

bool IsSeparator(char c) {
  return c == '[' || c == ']' || c == ',' || c == ';' || c == ' ' || c == '\t';
}

}  // namespace

std::optional<std::string> AttributeValue(std::string_view attributes, std::string_view key) {
  size_t pos = 0;
  while (pos < attributes.size()) {
    while (pos < attributes.size() && IsSeparator(attributes[pos])) ++pos;
    const size_t nameStart = pos;
    while (pos < attributes.size() && attributes[pos] != '=' && !IsSeparator(attributes[pos])) {
      ++pos;
    }
    const std::string_view name = attributes.substr(nameStart, pos - nameStart);
    if (pos >= attributes.size() || attributes[pos] != '=') continue;
    ++pos;
    std::string value;
    if (pos < attributes.size() && attributes[pos] == '"') {
      const size_t close = attributes.find('"', pos + 1);
      const size_t end = close == std::string_view::npos ? attributes.size() : close;
      value = std::string(attributes.substr(pos + 1, end - pos - 1));
      pos = end + 1;
    } else {
      const size_t valueStart = pos;
      while (pos < attributes.size() && !IsSeparator(attributes[pos])) ++pos;
      value = std::string(attributes.substr(valueStart, pos - valueStart));
    }
    if (name == key) return value;
  }
  return std::nullopt;
}

}  // namespace zelvor::soap
