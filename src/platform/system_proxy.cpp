#include "platform/system_proxy.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace zelvor::platform {
namespace {

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

bool IsSeparator(char c) {
  return c == ';' || std::isspace(static_cast<unsigned char>(c)) != 0;
}

// Both lists separate their entries with ';' or white space.
std::vector<std::string_view> Entries(std::string_view list) {
  std::vector<std::string_view> entries;
  std::size_t start = 0;
  while (start < list.size()) {
    while (start < list.size() && IsSeparator(list[start])) ++start;
    std::size_t end = start;
    while (end < list.size() && !IsSeparator(list[end])) ++end;
    if (end > start) entries.push_back(list.substr(start, end - start));
    start = end;
  }
  return entries;
}

struct Authority {
  std::string host;  // lower case; an IPv6 address keeps its brackets
  std::string port;  // empty when not written
};

// "host", "host:port", "[v6]" or "[v6]:port", after any "user@".
std::optional<Authority> SplitAuthority(std::string_view authority) {
  if (const std::size_t at = authority.rfind('@'); at != std::string_view::npos) {
    authority.remove_prefix(at + 1);
  }
  Authority result;
  std::string_view rest;
  if (!authority.empty() && authority.front() == '[') {
    const std::size_t close = authority.find(']');
    if (close == std::string_view::npos) return std::nullopt;
    result.host = Lower(authority.substr(0, close + 1));
    rest = authority.substr(close + 1);
  } else {
    const std::size_t colon = authority.find(':');
    result.host = Lower(authority.substr(0, colon));
    rest = colon == std::string_view::npos ? std::string_view() : authority.substr(colon);
  }
  if (!rest.empty()) {
    if (rest.front() != ':') return std::nullopt;
    result.port = std::string(rest.substr(1));
  }
  if (result.host.empty()) return std::nullopt;
  return result;
}

struct Target {
  std::string scheme;
  Authority authority;
};

std::optional<Target> ParseUrl(std::string_view url) {
  const std::size_t separator = url.find("://");
  if (separator == std::string_view::npos || separator == 0) return std::nullopt;
  Target target{Lower(url.substr(0, separator)), {}};
  std::string_view rest = url.substr(separator + 3);
  rest = rest.substr(0, rest.find_first_of("/?#"));
  auto authority = SplitAuthority(rest);
  if (!authority) return std::nullopt;
  target.authority = std::move(*authority);
  if (target.authority.port.empty()) {
    if (target.scheme == "http") target.authority.port = "80";
    if (target.scheme == "https") target.authority.port = "443";
  }
  return target;
}

// '*' stands for any run of characters; both sides are in lower case.
bool Matches(std::string_view pattern, std::string_view text) {
  std::size_t p = 0, t = 0;
  std::size_t star = std::string_view::npos, resume = 0;
  while (t < text.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      resume = t;
    } else if (p < pattern.size() && pattern[p] == text[t]) {
      ++p;
      ++t;
    } else if (star != std::string_view::npos) {
      p = star + 1;
      t = ++resume;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

// An entry names a host, optionally with a port or a scheme ("*.firma.pl", "10.*",
// "https://rejestr.firma.pl:8443"); "<local>" is every host name without a dot.
bool Bypassed(std::string_view bypassList, const Target& target) {
  const std::string& host = target.authority.host;
  const bool ipv6 = host.front() == '[';
  const std::string bare = ipv6 ? host.substr(1, host.size() - 2) : host;
  std::vector<std::string> forms = {host, bare};
  if (!target.authority.port.empty()) forms.push_back(host + ":" + target.authority.port);
  for (std::size_t i = 0, count = forms.size(); i < count; ++i) {
    forms.push_back(target.scheme + "://" + forms[i]);
  }
  for (const std::string_view entry : Entries(bypassList)) {
    const std::string pattern = Lower(entry);
    if (pattern == "<local>") {
      if (!ipv6 && host.find('.') == std::string::npos) return true;
      continue;
    }
    for (const std::string& form : forms) {
      if (Matches(pattern, form)) return true;
    }
  }
  return false;
}

// libcurl wants a scheme and would take port 1080 for an HTTP proxy without one; Windows
// takes 80.
std::optional<std::string> ForLibcurl(std::string_view proxy) {
  std::string scheme = "http";
  if (const std::size_t separator = proxy.find("://"); separator != std::string_view::npos) {
    scheme = Lower(proxy.substr(0, separator));
    proxy.remove_prefix(separator + 3);
  }
  const std::string_view path = proxy.substr(std::min(proxy.find('/'), proxy.size()));
  const auto authority = SplitAuthority(proxy.substr(0, proxy.size() - path.size()));
  if (!authority || scheme.empty()) return std::nullopt;
  std::string port = authority->port;
  if (port.empty() && scheme == "http") port = "80";
  return scheme + "://" + authority->host + (port.empty() ? "" : ":" + port);
}

}  // namespace

// Entries for other schemes ("ftp=", "socks=") are not ours; WinHTTP uses no SOCKS proxy either.
std::optional<std::string> ProxyFromSettings(std::string_view proxyList,
                                             std::string_view bypassList, std::string_view url) {
  const auto target = ParseUrl(url);
  if (!target) return std::nullopt;
  std::optional<std::string_view> forScheme, forAll;
  for (const std::string_view entry : Entries(proxyList)) {
    const std::size_t equals = entry.find('=');
    if (equals == std::string_view::npos) {
      if (!forAll) forAll = entry;
    } else if (Lower(entry.substr(0, equals)) == target->scheme && !forScheme) {
      forScheme = entry.substr(equals + 1);
    }
  }
  const std::optional<std::string_view> chosen = forScheme ? forScheme : forAll;
  if (!chosen || chosen->empty() || Bypassed(bypassList, *target)) return std::nullopt;
  return ForLibcurl(*chosen);
}

}  // namespace zelvor::platform
