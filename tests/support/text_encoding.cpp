#include "support/text_encoding.h"

#include <iconv.h>

#include <stdexcept>

namespace zelvor::test {

std::string FromUtf8(const std::string& utf8, const char* encoding) {
  iconv_t convert = iconv_open(encoding, "UTF-8");
  if (convert == reinterpret_cast<iconv_t>(-1)) {
    throw std::runtime_error(std::string("iconv cannot convert to ") + encoding);
  }
  std::string out(utf8.size() * 4 + 4, '\0');
  char* in = const_cast<char*>(utf8.data());
  size_t inLeft = utf8.size();
  char* to = out.data();
  size_t outLeft = out.size();
  const size_t done = iconv(convert, &in, &inLeft, &to, &outLeft);
  iconv_close(convert);
  if (done == static_cast<size_t>(-1)) {
    throw std::runtime_error(std::string("text not convertible to ") + encoding);
  }
  out.resize(out.size() - outLeft);
  return out;
}

}  // namespace zelvor::test
