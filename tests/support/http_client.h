#pragma once
// A libcurl easy handle for the simulator tests: one handle keeps its connection alive
// between requests, as the program's transports do.

#include <curl/curl.h>

#include <memory>
#include <optional>
#include <string>

namespace zelvor::test {

struct HttpResult {
  CURLcode code = CURLE_OK;
  long status = 0;
  std::string contentType;
  std::string body;
  long redirects = 0;
  double seconds = 0;
};

struct ClientTls {
  std::string caCertificate;
  std::string certificate;  // empty: no client certificate
  std::string key;
};

class HttpClient {
 public:
  HttpClient();

  void Tls(const ClientTls& tls);
  void TimeoutMs(long ms);
  void FollowRedirects(long max);

  // POST with Content-Type text/xml; soapAction null sends no SOAPAction header.
  HttpResult Post(const std::string& url, const std::string& body, const std::string* soapAction);
  HttpResult PostForm(const std::string& url, const std::string& form);
  HttpResult Get(const std::string& url);

 private:
  HttpResult Perform();

  struct Cleanup {
    void operator()(CURL* c) const { curl_easy_cleanup(c); }
  };
  std::unique_ptr<CURL, Cleanup> curl_;
};

}  // namespace zelvor::test
