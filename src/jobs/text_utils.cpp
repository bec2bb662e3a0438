#include "jobs/text_utils.h"

namespace zelvor::jobs {

std::string_view FirstCharacters(std::string_view text, std::size_t count) {
  std::size_t pos = 0;
  for (std::size_t taken = 0; pos < text.size() && taken < count; ++taken) {
    ++pos;
    // Continuation bytes of a UTF-8 sequence belong to the character already taken.
    while (pos < text.size() && (static_cast<unsigned char>(text[pos]) & 0xC0) == 0x80) ++pos;
  }
  return text.substr(0, pos);
}

}  // namespace zelvor::jobs
