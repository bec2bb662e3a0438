#include "soap/http_client.h"

#include <curl/curl.h>

#include <chrono>
#include <cstring>
#include <mutex>
#include <optional>
#include <stdexcept>

#include "platform/certificate_store.h"
#include "platform/curl_tls.h"
#include "platform/system_proxy.h"
#include "soap/lexical.h"
#include "soap/polish_messages.h"
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

// Which limit ended a call, when one did.
enum class Stall { None, Sending, Receiving, LowSpeed, Total, Aborted };

// The state of one POST, shared with libcurl's callbacks.
struct Exchange {
  const HttpSettings* settings = nullptr;
  curl_off_t requestSize = 0;
  HttpAnswer answer;
  bool answerStarted = false;  // a status line arrived
  bool tooLarge = false;
  bool connected = false;
  Stall stall = Stall::None;
  curl_off_t lastUp = -1;
  curl_off_t lastDown = -1;
  Clock::time_point started = Clock::now();
  Clock::time_point lastActivity = Clock::now();
  // The low-speed window: opened once the request is sent, it counts the answer's bytes.
  bool windowOpen = false;
  Clock::time_point windowStart;
  curl_off_t windowDown = 0;
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
    exchange.answerStarted = true;
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
  exchange.windowOpen = false;
  return CURL_PREREQFUNC_OK;
}

// Send and receive time-outs count from the last byte that moved, as a socket time-out would;
// the low-speed and total limits stop a server that keeps a call alive with a trickle of bytes.
int OnProgress(void* user, curl_off_t, curl_off_t down, curl_off_t, curl_off_t up) {
  auto& exchange = *static_cast<Exchange*>(user);
  const HttpSettings& settings = *exchange.settings;
  const auto now = Clock::now();
  const auto stop = [&](Stall why) {
    exchange.stall = why;
    return 1;
  };
  if (settings.aborted && settings.aborted()) return stop(Stall::Aborted);
  if (now - exchange.started >= settings.totalTimeout) return stop(Stall::Total);
  if (!exchange.connected) return 0;
  const bool sending = up < exchange.requestSize;
  if (up != exchange.lastUp || down != exchange.lastDown) {
    exchange.lastUp = up;
    exchange.lastDown = down;
    exchange.lastActivity = now;
  } else if (now - exchange.lastActivity >=
             (sending ? settings.sendTimeout : settings.receiveTimeout)) {
    return stop(sending ? Stall::Sending : Stall::Receiving);
  }
  if (sending) return 0;
  if (!exchange.windowOpen) {
    exchange.windowOpen = true;
    exchange.windowStart = now;
    exchange.windowDown = down;
  } else if (now - exchange.windowStart >= settings.lowSpeedTime) {
    const double seconds = std::chrono::duration<double>(now - exchange.windowStart).count();
    const double wanted = static_cast<double>(settings.lowSpeedBytesPerSecond) * seconds;
    if (static_cast<double>(down - exchange.windowDown) < wanted) return stop(Stall::LowSpeed);
    exchange.windowStart = now;
    exchange.windowDown = down;
  }
  return 0;
}

// Before each transfer; a store that cannot be used ends the call with its own message.
void BeginTls(platform::CurlTls& tls) {
  try {
    tls.BeginTransfer();
  } catch (const platform::CertificateStoreError& error) {
    throw ETransportError(error.what(), static_cast<int>(CURLE_SSL_CERTPROBLEM), false);
  }
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

// The server closed or broke the connection before or while answering.
bool IsBrokenConnection(CURLcode code) {
  return code == CURLE_GOT_NOTHING || code == CURLE_SEND_ERROR || code == CURLE_RECV_ERROR ||
         code == CURLE_PARTIAL_FILE || code == CURLE_SSL_CONNECT_ERROR;
}

// A server that asked for a client certificate and then ended the connection without an answer
// has refused it. How the refusal shows (an alert, a failed write, a socket already gone) depends
// on timing, so every form counts the same; an alert of another kind is something else.
bool ClientCertificateRefused(CURLcode code, const Exchange& exchange,
                              const platform::TlsHandshakeNotes* notes) {
  if (notes == nullptr || !notes->certificateRequested || exchange.answerStarted) return false;
  if (code == CURLE_COULDNT_RESOLVE_HOST || code == CURLE_COULDNT_CONNECT ||
      code == CURLE_OPERATION_TIMEDOUT) {
    return false;
  }
  return !notes->DeliberateAlert() || notes->CertificateAlert();
}

struct Failure {
  FailureKind kind = FailureKind::Other;
  bool transient = false;
  std::string text;  // the library's side of the message
};

Failure Describe(CURLcode code, const char* errorBuffer, const Exchange& exchange,
                 const platform::TlsHandshakeNotes* notes) {
  const HttpSettings& settings = *exchange.settings;
  const std::string number = std::to_string(static_cast<int>(code));
  std::string text = errorBuffer[0] != '\0' ? errorBuffer : curl_easy_strerror(code);
  const std::string prefix =
      std::string(IsSendingFailure(code) ? "Error sending data: (" : "Error receiving data: (") +
      number + ") ";
  if (code == CURLE_TOO_MANY_REDIRECTS) {
    return {FailureKind::Other, false,
            "Maximum number of redirections (" + std::to_string(kMaxRedirects) + ") exceeded"};
  }
  if (!exchange.sslSetupError.empty()) {
    return {FailureKind::Other, false, "Error sending data: (" + number + ") " + text};
  }
  if (exchange.tooLarge) {
    return {FailureKind::Other, false,
            "Error receiving data: (" + number + ") The answer is larger than the limit of " +
                std::to_string(settings.maxAnswerBytes) + " bytes"};
  }
  if (exchange.stall != Stall::None) {
    const std::string timedOut = std::to_string(static_cast<int>(CURLE_OPERATION_TIMEDOUT)) + ") ";
    switch (exchange.stall) {
      case Stall::Sending:
        return {FailureKind::TimedOut, true,
                "Error sending data: (" + timedOut + "No data sent for " +
                    std::to_string(settings.sendTimeout.count()) + " ms"};
      case Stall::Receiving:
        return {FailureKind::TimedOut, true,
                "Error receiving data: (" + timedOut + "No data received for " +
                    std::to_string(settings.receiveTimeout.count()) + " ms"};
      case Stall::LowSpeed:
        return {FailureKind::TimedOut, true,
                "Error receiving data: (" + timedOut + "Less than " +
                    std::to_string(settings.lowSpeedBytesPerSecond) + " bytes/s received in " +
                    std::to_string(settings.lowSpeedTime.count()) + " ms"};
      case Stall::Total:
      case Stall::Aborted:
      case Stall::None:
        break;
    }
    return {FailureKind::TimedOut, true,
            "Error receiving data: (" + timedOut + "No answer within " +
                std::to_string(settings.totalTimeout.count()) + " ms"};
  }
  if (code == CURLE_UNSUPPORTED_PROTOCOL && settings.httpsOnly) {
    return {FailureKind::RedirectRefused, false, prefix + text};
  }
  if (code == CURLE_PEER_FAILED_VERIFICATION) {
    return {FailureKind::ServerNotVerified, false,
            prefix + "The server's certificate could not be verified: " + text};
  }
  if (ClientCertificateRefused(code, exchange, notes)) {
    if (notes->alert >= 0 && text.find(notes->alertText) == std::string::npos) {
      text += " (alert: " + notes->alertText + ")";
    }
    return {FailureKind::ClientCertificateRefused, false, prefix + text};
  }
  if (code == CURLE_COULDNT_RESOLVE_HOST || code == CURLE_COULDNT_RESOLVE_PROXY ||
      code == CURLE_COULDNT_CONNECT) {
    return {FailureKind::NoConnection, true, prefix + text};
  }
  if (code == CURLE_OPERATION_TIMEDOUT) return {FailureKind::TimedOut, true, prefix + text};
  // A TLS alert is the server's deliberate word, not a broken line.
  const bool alerted = notes != nullptr && notes->DeliberateAlert();
  if (IsBrokenConnection(code) && !(code == CURLE_SSL_CONNECT_ERROR && alerted)) {
    return {FailureKind::Other, true, prefix + text};
  }
  return {FailureKind::Other, false, prefix + text};
}

// "host:port" of a URL, the port filled in from the scheme when the URL has none.
std::string HostPort(const std::string& url) {
  std::unique_ptr<CURLU, decltype(&curl_url_cleanup)> parsed(curl_url(), curl_url_cleanup);
  if (!parsed || curl_url_set(parsed.get(), CURLUPART_URL, url.c_str(), 0) != CURLUE_OK) {
    return url;
  }
  std::string result;
  for (const CURLUPart part : {CURLUPART_HOST, CURLUPART_PORT}) {
    char* value = nullptr;
    if (curl_url_get(parsed.get(), part, &value, CURLU_DEFAULT_PORT) != CURLUE_OK) return url;
    result += (result.empty() ? "" : ":") + std::string(value);
    curl_free(value);
  }
  return result;
}

bool IsHttps(std::string_view url) {
  return StartsWithIgnoringCase(url, "https://");
}

// The service's sentence first (the exchange's own when the service has none), for the person;
// the library's text after it, for support.
[[noreturn]] void Raise(const HttpSettings& settings, FailureReport report, const Failure& failure,
                        int code) {
  report.kind = failure.kind;
  std::string sentence = settings.explain ? settings.explain(report) : std::string();
  if (sentence.empty()) sentence = TransportSentence(report);
  throw ETransportError(PolishFirst(sentence, failure.text), code, failure.transient);
}

}  // namespace

struct HttpClient::Handle {
  std::unique_ptr<CURL, CurlFree> curl;
  char errorBuffer[CURL_ERROR_SIZE] = {};
  std::unique_ptr<platform::CurlTls> tls;  // null without client TLS settings
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
  // A redirect may lead only to another web address, never to a file or another protocol; a
  // transport that demands https never leaves it.
  const char* protocols = settings_.httpsOnly ? "https" : "http,https";
  curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, protocols);
  curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, protocols);
  curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(curl, CURLOPT_MAXREDIRS, static_cast<long>(kMaxRedirects));
  curl_easy_setopt(curl, CURLOPT_POSTREDIR, static_cast<long>(CURL_REDIR_POST_ALL));
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS,
                   static_cast<long>(settings_.connectTimeout.count()));
  // Only a backstop: the progress callback ends a call at the total limit with its own message.
  curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS,
                   static_cast<long>(settings_.totalTimeout.count()) + 1000L);
  curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
  curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
  curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
  curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &OnProgress);
  curl_easy_setopt(curl, CURLOPT_PREREQFUNCTION, &OnRequestReady);
  curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, &OnHeader);
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &OnBody);
  if (settings_.clientTls) {
    handle_->tls = std::make_unique<platform::CurlTls>(curl, *settings_.clientTls);
  }
}

HttpClient::~HttpClient() = default;
HttpClient::HttpClient(HttpClient&&) noexcept = default;
HttpClient& HttpClient::operator=(HttpClient&&) noexcept = default;

HttpAnswer HttpClient::Post(const std::string& url, std::string_view body,
                            std::string_view soapAction) {
  // After a stop nothing more is sent.
  if (settings_.aborted && settings_.aborted()) throw ECallAborted();
  CURL* curl = handle_->curl.get();
  platform::CurlTls* tls = handle_->tls.get();
  FailureReport report{FailureKind::Other, url, HostPort(url),
                       tls == nullptr ? nullptr : &tls->Notes()};
  if (settings_.httpsOnly && !IsHttps(url)) {
    // Refused before any connection: not a byte of the request leaves in clear.
    report.handshake = nullptr;
    Raise(settings_, report,
          {FailureKind::UrlRefused, false,
           "Error sending data: (1) The address \"" + url + "\" is not https; nothing was sent"},
          static_cast<int>(CURLE_UNSUPPORTED_PROTOCOL));
  }

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

  // The user's proxy settings on Windows; with none (and on Linux) libcurl's own choice from its
  // environment variables. Decided for the first address: a redirect keeps the same proxy.
  const std::optional<std::string> proxy = platform::SystemProxyFor(url);

  Exchange exchange;
  const auto perform = [&] {
    exchange = Exchange{};
    exchange.settings = &settings_;
    exchange.requestSize = static_cast<curl_off_t>(body.size());
    if (tls != nullptr) BeginTls(*tls);
    handle_->errorBuffer[0] = '\0';
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_PROXY, proxy ? proxy->c_str() : nullptr);
    curl_easy_setopt(curl, CURLOPT_POST, 1L);
    curl_easy_setopt(curl, CURLOPT_POSTFIELDS, body.data());
    curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, exchange.requestSize);
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, &exchange);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &exchange);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &exchange);
    curl_easy_setopt(curl, CURLOPT_PREREQDATA, &exchange);
    const CURLcode code = curl_easy_perform(curl);
    if (tls != nullptr) exchange.sslSetupError = tls->SetupError();
    // The handle outlives this call: leave no pointer to the call's state behind.
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, nullptr);
    curl_easy_setopt(curl, CURLOPT_POSTFIELDS, nullptr);
    return code;
  };

  CURLcode code = perform();
  // A connection that broke before the answer began without a word from the server (a kept-alive
  // connection it closed while idle, a handshake cut off by its restart) is tried once more on a
  // new connection with a full handshake, as a restarted server no longer knows our session. Not
  // once the server has asked for our certificate: that is how some servers refuse one, and a
  // new handshake would ask the window's certificate picker again.
  const platform::TlsHandshakeNotes* handshake = report.handshake;
  const bool brokenBeforeAnswer =
      code != CURLE_OK && IsBrokenConnection(code) && !exchange.answerStarted &&
      exchange.stall == Stall::None &&
      !(handshake && (handshake->DeliberateAlert() || handshake->certificateRequested));
  if (brokenBeforeAnswer) {
    curl_easy_setopt(curl, CURLOPT_FRESH_CONNECT, 1L);
    curl_easy_setopt(curl, CURLOPT_SSL_SESSIONID_CACHE, 0L);
    code = perform();
    curl_easy_setopt(curl, CURLOPT_SSL_SESSIONID_CACHE, 1L);
    curl_easy_setopt(curl, CURLOPT_FRESH_CONNECT, 0L);
  }
  if (exchange.stall == Stall::Aborted) throw ECallAborted();
  if (code != CURLE_OK) {
    if (tls != nullptr) tls->NoteFailure(handle_->errorBuffer);
    const Failure failure = Describe(code, handle_->errorBuffer, exchange, report.handshake);
    if (!exchange.sslSetupError.empty()) {
      // The store's own message already says what is wrong and what to do.
      throw ETransportError(exchange.sslSetupError + " (" + failure.text + ")",
                            static_cast<int>(code), false);
    }
    Raise(settings_, report, failure, static_cast<int>(code));
  }

  long status = 0;
  curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
  exchange.answer.status = status;
  char* contentType = nullptr;
  curl_easy_getinfo(curl, CURLINFO_CONTENT_TYPE, &contentType);
  exchange.answer.contentType = contentType == nullptr ? "" : contentType;
  return std::move(exchange.answer);
}

}  // namespace zelvor::soap
