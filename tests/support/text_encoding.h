#pragma once
// UTF-8 text re-encoded, for tests of answers that arrive in another character set.

#include <string>

namespace zelvor::test {

// The text in `encoding` (an iconv name); throws when iconv cannot convert it.
std::string FromUtf8(const std::string& utf8, const char* encoding);

}  // namespace zelvor::test
