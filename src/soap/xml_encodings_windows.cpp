#include <libxml/encoding.h>
#include <windows.h>

#include <array>
#include <mutex>
#include <string>

#include "soap/xml_encodings.h"

namespace zelvor::soap {
namespace {

// Each byte of code page 1250 as UTF-8, taken from Windows' own table; empty for the five bytes
// the code page leaves undefined.
using ByteTable = std::array<std::string, 256>;

ByteTable Windows1250() {
  ByteTable table;
  for (int byte = 0; byte < 256; ++byte) {
    const char in = static_cast<char>(byte);
    wchar_t wide = 0;
    if (::MultiByteToWideChar(1250, MB_ERR_INVALID_CHARS, &in, 1, &wide, 1) != 1) continue;
    char utf8[4];
    const int length =
        ::WideCharToMultiByte(CP_UTF8, 0, &wide, 1, utf8, sizeof utf8, nullptr, nullptr);
    if (length > 0) table[static_cast<std::size_t>(byte)].assign(utf8, length);
  }
  return table;
}

const ByteTable& Table() {
  static const ByteTable table = Windows1250();
  return table;
}

// libxml2's input conversion: as much of `in` as fits into `out`; -2 for a byte the code page
// does not define.
int Windows1250ToUtf8(unsigned char* out, int* outLength, const unsigned char* in, int* inLength) {
  const ByteTable& table = Table();
  int read = 0;
  int written = 0;
  int result = 0;
  while (read < *inLength) {
    const std::string& utf8 = table[in[read]];
    if (utf8.empty()) {
      result = -2;
      break;
    }
    if (written + static_cast<int>(utf8.size()) > *outLength) break;
    for (const char c : utf8) out[written++] = static_cast<unsigned char>(c);
    ++read;
  }
  *inLength = read;
  *outLength = written;
  return result < 0 ? result : written;
}

}  // namespace

void RegisterSystemEncodings() {
  static std::once_flag once;
  std::call_once(once, [] {
    Table();
    xmlNewCharEncodingHandler("windows-1250", &Windows1250ToUtf8, nullptr);
    xmlAddEncodingAlias("windows-1250", "CP1250");
  });
}

}  // namespace zelvor::soap
