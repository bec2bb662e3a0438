#pragma once
// One HTTP client per service transport: a libcurl handle reused across calls, so connections,
// TLS sessions and cookies are kept for the transport's lifetime.

#include <memory>
#include <string>
#include <string_view>

#include "soap/http_settings.h"

namespace zelvor::soap {

struct HttpAnswer {
  long status = 0;
  std::string statusText;  // from the status line
  std::string contentType;
  std::string body;
};

inline constexpr int kMaxRedirects = 5;
inline constexpr const char* kUserAgent = "Zelvor/0.1 SOAP 1.4";

class HttpClient {
 public:
  explicit HttpClient(HttpSettings settings = {});
  ~HttpClient();
  HttpClient(HttpClient&&) noexcept;
  HttpClient& operator=(HttpClient&&) noexcept;

  // POSTs a SOAP request and returns the final answer after redirects. Connection, TLS,
  // time-out, size and redirect failures throw ETransportError, marked transient when the same
  // call may succeed a moment later. A request that finds its kept-alive connection closed by
  // the server is sent once more on a new connection.
  HttpAnswer Post(const std::string& url, std::string_view body, std::string_view soapAction);

 private:
  struct Handle;
  HttpSettings settings_;
  std::unique_ptr<Handle> handle_;
};

}  // namespace zelvor::soap
