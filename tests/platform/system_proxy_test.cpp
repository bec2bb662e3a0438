// The proxy that Windows' proxy and bypass lists give for an address.
#include "platform/system_proxy.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace zelvor::platform {
namespace {

struct ProxyCase {
  const char* what;
  const char* proxies;
  const char* bypass;
  const char* url;
  std::optional<std::string> expected;
};

const ProxyCase kCases[] = {
    // Which entry of the proxy list serves the address.
    {"per scheme, https", "http=web:8080;https=secure:8443", "", "https://rejestr.example.pl/ws",
     "http://secure:8443"},
    {"per scheme, http", "http=web:8080;https=secure:8443", "", "http://rejestr.example.pl/ws",
     "http://web:8080"},
    {"per scheme, none for https", "http=web:8080;ftp=files:21", "", "https://rejestr.example.pl/",
     std::nullopt},
    {"per scheme, else the one for all", "https=secure:8443 fallback:3128", "",
     "http://rejestr.example.pl/", "http://fallback:3128"},
    {"scheme names in any case", "HTTP=web:8080;HTTPS=secure:8443", "", "HTTPS://Rejestr/",
     "http://secure:8443"},
    {"plain host:port", "proxy.firma.pl:3128", "", "https://rejestr.example.pl:8443/ws",
     "http://proxy.firma.pl:3128"},
    {"without a port, Windows' 80", "proxy.firma.pl", "", "https://rejestr.example.pl/",
     "http://proxy.firma.pl:80"},
    {"an https proxy keeps its scheme", "https=https://proxy.firma.pl", "", "https://rejestr/",
     "https://proxy.firma.pl"},
    {"a proxy's own scheme written out", "https=http://proxy.firma.pl:8080/", "",
     "https://rejestr/", "http://proxy.firma.pl:8080"},
    {"an IPv6 proxy", "[fd00::1]:3128", "", "https://rejestr/", "http://[fd00::1]:3128"},
    {"an IPv6 proxy without a port", "[FD00::1]", "", "https://rejestr/", "http://[fd00::1]:80"},
    {"loopback is not bypassed by itself", "127.0.0.1:3128", "", "https://127.0.0.1:8443/",
     "http://127.0.0.1:3128"},
    {"the user part of an address is not its host", "p:3128", "rejestr.example.pl",
     "https://rejestr.example.pl@elsewhere.example.com/", "http://p:3128"},
    // The bypass list.
    {"bypass, exact host", "p:3128", "rejestr.example.pl", "https://rejestr.example.pl/ws",
     std::nullopt},
    {"bypass, exact host only", "p:3128", "rejestr.example.pl", "https://api.rejestr.example.pl/ws",
     "http://p:3128"},
    {"bypass, wildcard", "p:3128", "*.example.com", "https://api.example.com/ws", std::nullopt},
    {"bypass, wildcard needs its dot", "p:3128", "*.example.com", "https://example.com/ws",
     "http://p:3128"},
    {"bypass, wildcard in the middle", "p:3128", "api.*.pl", "https://api.firma.pl/", std::nullopt},
    {"bypass, addresses by prefix", "p:3128", "10.*", "http://10.1.2.3:8080/", std::nullopt},
    {"bypass, with a port", "p:3128", "rejestr.pl:8443", "https://rejestr.pl:8443/", std::nullopt},
    {"bypass, with another port", "p:3128", "rejestr.pl:8443", "https://rejestr.pl/",
     "http://p:3128"},
    {"bypass, with a scheme", "p:3128", "http://rejestr.pl", "http://rejestr.pl/", std::nullopt},
    {"bypass, with another scheme", "p:3128", "http://rejestr.pl", "https://rejestr.pl/",
     "http://p:3128"},
    {"bypass, entries split by ; and white space", "p:3128", "a.pl; b.pl\tc.pl  d.pl",
     "https://c.pl/", std::nullopt},
    {"bypass, in any case", "p:3128", "*.Example.COM", "https://API.example.com/", std::nullopt},
    {"<local>, a name without a dot", "p:3128", "<local>", "https://intranet/ws", std::nullopt},
    {"<local>, localhost", "p:3128", "<LOCAL>", "http://localhost:8080/", std::nullopt},
    {"<local>, a name with a dot", "p:3128", "<local>", "https://intranet.firma.pl/ws",
     "http://p:3128"},
    {"<local>, an IPv6 address is no name", "p:3128", "<local>", "https://[::1]:8443/ws",
     "http://p:3128"},
    {"IPv6 address, proxied", "p:3128", "", "https://[::1]:8443/ws", "http://p:3128"},
    {"IPv6 address, bypassed in brackets", "p:3128", "[::1]", "https://[::1]:8443/ws",
     std::nullopt},
    {"IPv6 address, bypassed without them", "p:3128", "::1", "https://[::1]:8443/ws", std::nullopt},
    {"IPv6 address, bypassed with its port", "p:3128", "[::1]:8443", "https://[::1]:8443/ws",
     std::nullopt},
    // Nothing to go on.
    {"empty settings", "", "", "https://rejestr.example.pl/", std::nullopt},
    {"only separators", " ;\t; ", "", "https://rejestr.example.pl/", std::nullopt},
    {"a bypass list alone", "", "<local>;*.pl", "https://rejestr.example.com/", std::nullopt},
    {"an empty entry for the scheme", "https=", "", "https://rejestr.example.pl/", std::nullopt},
    {"not an address", "p:3128", "", "rejestr.example.pl", std::nullopt},
    {"an address without a host", "p:3128", "", "https:///ws", std::nullopt},
    {"an unclosed IPv6 address", "p:3128", "", "https://[::1/ws", std::nullopt},
};

TEST(SystemProxy, TheSettingsGiveEachAddressItsProxy) {
  for (const ProxyCase& c : kCases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(ProxyFromSettings(c.proxies, c.bypass, c.url), c.expected)
        << "proxies \"" << c.proxies << "\", bypass \"" << c.bypass << "\", " << c.url;
  }
}

}  // namespace
}  // namespace zelvor::platform
