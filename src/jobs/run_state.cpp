#include "jobs/run_state.h"

namespace zelvor::jobs {

namespace {
std::string FoldAscii(std::string_view key) {
  std::string folded(key);
  for (char& c : folded) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return folded;
}
}  // namespace

bool KeySet::Insert(std::string_view key) {
  return folded_.insert(FoldAscii(key)).second;
}

bool KeySet::Contains(std::string_view key) const {
  return folded_.count(FoldAscii(key)) != 0;
}

}  // namespace zelvor::jobs
