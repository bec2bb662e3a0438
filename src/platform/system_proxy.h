#pragma once
// The proxy the user's own settings give for an address. Windows keeps them as a proxy list
// ("host:port", or per scheme "http=h:p;https=h:p") and a bypass list; elsewhere libcurl's
// environment variables are the user's settings and libcurl reads them itself.

#include <optional>
#include <string>
#include <string_view>

namespace zelvor::platform {

// The proxy for `url` under those two lists, as libcurl's CURLOPT_PROXY takes it
// ("http://host:port"); nullopt when the lists name none for it or bypass its host.
std::optional<std::string> ProxyFromSettings(std::string_view proxyList,
                                             std::string_view bypassList, std::string_view url);

// The proxy the system's settings give for `url`, or nullopt to leave libcurl's own choice
// (its environment variables, else a direct connection).
std::optional<std::string> SystemProxyFor(const std::string& url);

}  // namespace zelvor::platform
