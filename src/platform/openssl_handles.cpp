#include "platform/openssl_handles.h"

#include <openssl/err.h>

namespace zelvor::platform {

std::string TakeOpenSslError() {
  unsigned long last = 0;
  while (unsigned long code = ERR_get_error()) last = code;
  if (last == 0) return {};
  const char* reason = ERR_reason_error_string(last);
  return reason ? reason : "OpenSSL error " + std::to_string(last);
}

}  // namespace zelvor::platform
