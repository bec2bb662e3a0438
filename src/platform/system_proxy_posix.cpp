#include "platform/system_proxy.h"

namespace zelvor::platform {

// libcurl's environment variables are this system's proxy settings, and libcurl reads them.
std::optional<std::string> SystemProxyFor(const std::string&) {
  return std::nullopt;
}

}  // namespace zelvor::platform
