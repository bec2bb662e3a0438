#include "support/http_client.h"

#include <stdexcept>

namespace zelvor::test {
namespace {

size_t Append(char* data, size_t size, size_t count, void* target) {
  static_cast<std::string*>(target)->append(data, size * count);
  return size * count;
}

struct HeaderList {
  curl_slist* list = nullptr;
  ~HeaderList() { curl_slist_free_all(list); }
  void Add(const std::string& header) { list = curl_slist_append(list, header.c_str()); }
};

}  // namespace

HttpClient::HttpClient() {
  static const bool initialised = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
  if (!initialised) throw std::runtime_error("curl_global_init failed");
  curl_.reset(curl_easy_init());
  if (!curl_) throw std::runtime_error("curl_easy_init failed");
  curl_easy_setopt(curl_.get(), CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl_.get(), CURLOPT_TIMEOUT_MS, 20000L);
  curl_easy_setopt(curl_.get(), CURLOPT_WRITEFUNCTION, Append);
}

void HttpClient::Tls(const ClientTls& tls) {
  curl_easy_setopt(curl_.get(), CURLOPT_CAINFO, tls.caCertificate.c_str());
  curl_easy_setopt(curl_.get(), CURLOPT_SSLCERT,
                   tls.certificate.empty() ? nullptr : tls.certificate.c_str());
  curl_easy_setopt(curl_.get(), CURLOPT_SSLKEY, tls.key.empty() ? nullptr : tls.key.c_str());
}

void HttpClient::TimeoutMs(long ms) {
  curl_easy_setopt(curl_.get(), CURLOPT_TIMEOUT_MS, ms);
}

void HttpClient::FollowRedirects(long max) {
  curl_easy_setopt(curl_.get(), CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(curl_.get(), CURLOPT_MAXREDIRS, max);
}

HttpResult HttpClient::Post(const std::string& url, const std::string& body,
                            const std::string* soapAction) {
  HeaderList headers;
  headers.Add("Content-Type: text/xml; charset=utf-8");
  if (soapAction != nullptr) headers.Add("SOAPAction: " + *soapAction);
  curl_easy_setopt(curl_.get(), CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl_.get(), CURLOPT_HTTPHEADER, headers.list);
  curl_easy_setopt(curl_.get(), CURLOPT_POSTFIELDS, body.c_str());
  curl_easy_setopt(curl_.get(), CURLOPT_POSTFIELDSIZE, static_cast<long>(body.size()));
  HttpResult result = Perform();
  curl_easy_setopt(curl_.get(), CURLOPT_HTTPHEADER, nullptr);
  return result;
}

HttpResult HttpClient::PostForm(const std::string& url, const std::string& form) {
  curl_easy_setopt(curl_.get(), CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl_.get(), CURLOPT_POSTFIELDS, form.c_str());
  curl_easy_setopt(curl_.get(), CURLOPT_POSTFIELDSIZE, static_cast<long>(form.size()));
  return Perform();
}

HttpResult HttpClient::Get(const std::string& url) {
  curl_easy_setopt(curl_.get(), CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl_.get(), CURLOPT_HTTPGET, 1L);
  return Perform();
}

HttpResult HttpClient::Perform() {
  HttpResult r;
  curl_easy_setopt(curl_.get(), CURLOPT_WRITEDATA, &r.body);
  r.code = curl_easy_perform(curl_.get());
  curl_easy_getinfo(curl_.get(), CURLINFO_RESPONSE_CODE, &r.status);
  curl_easy_getinfo(curl_.get(), CURLINFO_REDIRECT_COUNT, &r.redirects);
  curl_easy_getinfo(curl_.get(), CURLINFO_TOTAL_TIME, &r.seconds);
  const char* type = nullptr;
  curl_easy_getinfo(curl_.get(), CURLINFO_CONTENT_TYPE, &type);
  if (type != nullptr) r.contentType = type;
  return r;
}

}  // namespace zelvor::test
