#pragma once
// Small text helpers shared by the jobs.

#include <string_view>

namespace zelvor::jobs {

// The first `count` characters of UTF-8 text (not bytes: a Polish letter is one character).
std::string_view FirstCharacters(std::string_view text, std::size_t count);

}  // namespace zelvor::jobs
