#include "jobs/window_state.h"

#include <algorithm>

namespace zelvor::jobs {

namespace {
char FoldAscii(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return FoldAscii(x) == FoldAscii(y);
         });
}
}  // namespace

bool ContainsText(const TextList& list, std::string_view text) {
  return std::any_of(list.begin(), list.end(),
                     [text](const std::string& line) { return EqualIgnoringCase(line, text); });
}

std::string LastLine(const TextList& list) {
  return list.empty() ? std::string() : list.back();
}

}  // namespace zelvor::jobs
