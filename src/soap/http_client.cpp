#include "soap/http_client.h"

#include <curl/curl.h>

#include <chrono>
#include <cstring>
#include <mutex>
#include <stdexcept>

#include "soap/lexical.h"
#include "soap/remote_errors.h"

namespace zelvor::soap {
namespace {

using Clock = std::chrono::steady_clock;

struct CurlFree {
  void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};
struct SlistFree {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

void GlobalInit() {
  static std::once_flag once;
  std::call_once(once, [] {
    if (curl_global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK) {
      throw std::runtime_error("libcurl could not be initialised");
    }
  });
}

enum class Stall { None, Sending, Receiving };

// The state of one POST, shared with libcurl's callbacks.
struct Exchange {
  const HttpSettings* settings = nullptr;
  curl_off_t requestSize = 0;
  HttpAnswer answer;
  bool tooLarge = false;
  bool connected = false;
  Stall stall = Stall::None;
  curl_off_t lastUp = -1;
  curl_off_t lastDown = -1;
  Clock::time_point lastActivity = Clock::now();
  std::string sslSetupError;
};

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() &&
         EqualsIgnoringAsciiCase(text.substr(0, prefix.size()), prefix);
}

std::string_view TrimLine(std::string_view text) {
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ')) {
    text.remove_suffix(1);
  }
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  return text;
}

size_t OnHeader(char* data, size_t size, size_t count, void* user) {
  auto& exchange = *static_cast<Exchange*>(user);
  const size_t length = size * count;
  const std::string_view line(data, length);
  if (StartsWithIgnoringCase(line, "HTTP/")) {
    // A new answer in the chain (redirect, 100 Continue): the last one counts.
    exchange.answer = HttpAnswer{};
    const size_t codeStart = line.find(' ');
    if (codeStart != std::string_view::npos) {
      const std::string_view rest = line.substr(codeStart + 1);
      const size_t textStart = rest.find(' ');
      exchange.answer.statusText =
          textStart == std::string_view::npos ? "" : std::string(TrimLine(rest.substr(textStart)));
    }
  } else if (StartsWithIgnoringCase(line, "content-length:")) {
    const std::string_view value = TrimLine(line.substr(std::strlen("content-length:")));
    unsigned long long declared = 0;
    try {
      declared = static_cast<unsigned long long>(ParseInt64(value));
    } catch (const std::exception&) {
      return length;
    }
    if (declared > exchange.settings->maxAnswerBytes) {
      exchange.tooLarge = true;
      return 0;
    }
  }
  return length;
}

size_t OnBody(char* data, size_t size, size_t count, void* user) {
  auto& exchange = *static_cast<Exchange*>(user);
  const size_t length = size * count;
  if (exchange.answer.body.size() + length > exchange.settings->maxAnswerBytes) {
    exchange.tooLarge = true;
    return 0;
  }
  exchange.answer.body.append(data, length);
  return length;
}

int OnRequestReady(void* user, char*, char*, int, int) {
  auto& exchange = *static_cast<Exchange*>(user);
  exchange.connected = true;
  exchange.lastUp = exchange.lastDown = -1;
  exchange.lastActivity = Clock::now();
  return CURL_PREREQFUNC_OK;
}

// Send and receive time-outs count from the last byte that moved, as a socket time-out would.
int OnProgress(void* user, curl_off_t, curl_off_t down, curl_off_t, curl_off_t up) {
  auto& exchange = *static_cast<Exchange*>(user);
  const auto now = Clock::now();
  if (up != exchange.lastUp || down != exchange.lastDown) {
    exchange.lastUp = up;
    exchange.lastDown = down;
    exchange.lastActivity = now;
    return 0;
  }
  if (!exchange.connected) return 0;
  const bool sending = up < exchange.requestSize;
  const auto limit = sending ? exchange.settings->sendTimeout : exchange.settings->receiveTimeout;
  if (now - exchange.lastActivity < limit) return 0;
  exchange.stall = sending ? Stall::Sending : Stall::Receiving;
  return 1;
}

CURLcode OnSslContext(CURL*, void* sslContext, void* user) {
  auto& exchange = *static_cast<Exchange*>(user);
  try {
    platform::ConfigureSslContext(static_cast<SSL_CTX*>(sslContext), *exchange.settings->clientTls);
  } catch (const std::exception& error) {
    // The store's error (a key others can read, a broken file) is reported after the call.
    exchange.sslSetupError = error.what();
    return CURLE_ABORTED_BY_CALLBACK;
  }
  return CURLE_OK;
}

bool IsSendingFailure(CURLcode code) {
  switch (code) {
    case CURLE_UNSUPPORTED_PROTOCOL:
    case CURLE_URL_MALFORMAT:
    case CURLE_COULDNT_RESOLVE_PROXY:
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_CONNECT:
    case CURLE_OPERATION_TIMEDOUT:
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_SEND_ERROR:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER:
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_ISSUER_ERROR:
    case CURLE_SSL_CLIENTCERT:
      return true;
    default:
      return false;
  }
}

[[noreturn]] void RaiseFailure(CURLcode code, const char* errorBuffer, const Exchange& exchange,
                               const HttpSettings& settings) {
  const int number = static_cast<int>(code);
  std::string text = errorBuffer[0] != '\0' ? errorBuffer : curl_easy_strerror(code);
  if (code == CURLE_TOO_MANY_REDIRECTS) {
    throw ETransportError(
        "Maximum number of redirections (" + std::to_string(kMaxRedirects) + ") exceeded", number);
  }
  if (!exchange.sslSetupError.empty()) {
    throw ETransportError(
        "Error sending data: (" + std::to_string(number) + ") " + exchange.sslSetupError, number);
  }
  if (exchange.tooLarge) {
    throw ETransportError("Error receiving data: (" + std::to_string(number) +
                              ") The answer is larger than the limit of " +
                              std::to_string(settings.maxAnswerBytes) + " bytes",
                          number);
  }
  if (exchange.stall != Stall::None) {
    const bool sending = exchange.stall == Stall::Sending;
    const auto limit = sending ? settings.sendTimeout : settings.receiveTimeout;
    const int timedOut = static_cast<int>(CURLE_OPERATION_TIMEDOUT);
    throw ETransportError(
        std::string(sending ? "Error sending data: (" : "Error receiving data: (") +
            std::to_string(timedOut) + ") No data " + (sending ? "sent" : "received") + " for " +
            std::to_string(limit.count()) + " ms",
        timedOut);
  }
  if (code == CURLE_PEER_FAILED_VERIFICATION) {
    text = "The server's certificate could not be verified: " + text;
  }
  throw ETransportError(
      std::string(IsSendingFailure(code) ? "Error sending data: (" : "Error receiving data: (") +
          std::to_string(number) + ") " + text,
      number);
}

}  // namespace

struct HttpClient::Handle {
  std::unique_ptr<CURL, CurlFree> curl;
  char errorBuffer[CURL_ERROR_SIZE] = {};
};

HttpClient::HttpClient(HttpSettings settings)
    : settings_(std::move(settings)), handle_(std::make_unique<Handle>()) {
  GlobalInit();
  handle_->curl.reset(curl_easy_init());
  if (!handle_->curl) throw std::runtime_error("libcurl handle could not be created");
  CURL* curl = handle_->curl.get();
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, handle_->errorBuffer);
  // HTTP/1.1 keeps the status line's reason text, which error messages quote.
  curl_easy_setopt(curl, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
  curl_easy_setopt(curl, CURLOPT_USERAGENT, kUserAgent);
  curl_easy_setopt(curl, CURLOPT_COOKIEFILE, "");
  // A redirect may lead only to another web address, never to a file or another protocol.
  curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(curl, CURLOPT_MAXREDIRS, static_cast<long>(kMaxRedirects));
  curl_easy_setopt(curl, CURLOPT_POSTREDIR, static_cast<long>(CURL_REDIR_POST_ALL));
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS,
                   static_cast<long>(settings_.connectTimeout.count()));
  curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
  curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
  curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
  curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &OnProgress);
  curl_easy_setopt(curl, CURLOPT_PREREQFUNCTION, &OnRequestReady);
  curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, &OnHeader);
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &OnBody);
  if (settings_.clientTls) {
    curl_easy_setopt(curl, CURLOPT_SSL_CTX_FUNCTION, &OnSslContext);
  }
}

HttpClient::~HttpClient() = default;
HttpClient::HttpClient(HttpClient&&) noexcept = default;
HttpClient& HttpClient::operator=(HttpClient&&) noexcept = default;

HttpAnswer HttpClient::Post(const std::string& url, std::string_view body,
                            std::string_view soapAction) {
  CURL* curl = handle_->curl.get();
  Exchange exchange;
  exchange.settings = &settings_;
  exchange.requestSize = static_cast<curl_off_t>(body.size());

  std::unique_ptr<curl_slist, SlistFree> headers;
  const std::string action =
      "SOAPAction: " + (soapAction.empty() ? std::string("\"\"") : std::string(soapAction));
  for (const char* line :
       {"Content-Type: text/xml; charset=utf-8", action.c_str(), "Accept: */*", "Expect:"}) {
    curl_slist* extended = curl_slist_append(headers.get(), line);
    if (extended == nullptr) throw std::bad_alloc();
    (void)headers.release();
    headers.reset(extended);
  }

  handle_->errorBuffer[0] = '\0';
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_POST, 1L);
  curl_easy_setopt(curl, CURLOPT_POSTFIELDS, body.data());
  curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, exchange.requestSize);
  curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers.get());
  curl_easy_setopt(curl, CURLOPT_HEADERDATA, &exchange);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &exchange);
  curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &exchange);
  curl_easy_setopt(curl, CURLOPT_PREREQDATA, &exchange);
  curl_easy_setopt(curl, CURLOPT_SSL_CTX_DATA, &exchange);

  const CURLcode code = curl_easy_perform(curl);
  // The handle outlives this call: leave no pointer to the call's state behind.
  curl_easy_setopt(curl, CURLOPT_HTTPHEADER, nullptr);
  curl_easy_setopt(curl, CURLOPT_POSTFIELDS, nullptr);
  if (code != CURLE_OK) RaiseFailure(code, handle_->errorBuffer, exchange, settings_);

  long status = 0;
  curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
  exchange.answer.status = status;
  char* contentType = nullptr;
  curl_easy_getinfo(curl, CURLINFO_CONTENT_TYPE, &contentType);
  exchange.answer.contentType = contentType == nullptr ? "" : contentType;
  return std::move(exchange.answer);
}

}  // namespace zelvor::soap
