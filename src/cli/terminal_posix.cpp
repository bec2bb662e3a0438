#include <unistd.h>

#include "cli/terminal.h"

namespace zelvor::cli {

bool IsTerminal(std::FILE* stream) {
  return isatty(fileno(stream)) == 1;
}

void WriteText(std::FILE* stream, std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stream);
  std::fflush(stream);
}

}  // namespace zelvor::cli
