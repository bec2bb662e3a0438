#include <windows.h>
// WinHTTP needs the types windows.h declares first.
#include <winhttp.h>

#include <memory>

#include "platform/system_proxy.h"
#include "platform/windows_certificates.h"

namespace zelvor::platform {
namespace {

struct GlobalText {
  void operator()(wchar_t* text) const { ::GlobalFree(text); }
};
using OwnedText = std::unique_ptr<wchar_t, GlobalText>;

std::string Text(const OwnedText& text) {
  return text ? Utf8Text(text.get()) : std::string();
}

bool VariableSet(const wchar_t* name) {
  // The length with its terminating zero: more than one is a value that is not empty.
  return ::GetEnvironmentVariableW(name, nullptr, 0) > 1;
}

// The variables libcurl would take a proxy from for this address (their names are not case
// sensitive on Windows).
bool EnvironmentNamesProxy(const std::string& url) {
  const std::string scheme = url.substr(0, url.find("://"));
  return VariableSet((WideText(scheme) + L"_proxy").c_str()) || VariableSet(L"all_proxy");
}

}  // namespace

// The settings the system's own HTTP stack uses for the current user. libcurl's environment
// variables come first: a person who set them meant them (libcurl also applies no_proxy to the
// proxy chosen here).
std::optional<std::string> SystemProxyFor(const std::string& url) {
  if (EnvironmentNamesProxy(url)) return std::nullopt;
  WINHTTP_CURRENT_USER_IE_PROXY_CONFIG config{};
  if (!::WinHttpGetIEProxyConfigForCurrentUser(&config)) return std::nullopt;
  const OwnedText autoConfigUrl(config.lpszAutoConfigUrl);
  const OwnedText proxy(config.lpszProxy);
  const OwnedText bypass(config.lpszProxyBypass);
  // Auto-detection (WPAD) and a configuration script (PAC) are not followed, as running a
  // script needs an engine of its own: only a fixed proxy counts.
  if (!proxy) return std::nullopt;
  return ProxyFromSettings(Text(proxy), Text(bypass), url);
}

}  // namespace zelvor::platform
