#pragma once
// Settings of one service transport's HTTP exchange.

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/tls_notes.h"

namespace zelvor::soap {

// What went wrong with a call, as far as a service's own explanation needs to know.
enum class FailureKind {
  Other,                     // nothing a person can set right: the library's text says it all
  UrlRefused,                // the endpoint is not https on a transport that demands it
  RedirectRefused,           // the server redirected to a scheme the transport does not use
  NoConnection,              // name resolution or connection failed
  TimedOut,                  // a connect, send, receive, low-speed or total limit was reached
  ServerNotVerified,         // the server's certificate could not be verified
  ClientCertificateRefused,  // the server asked for a client certificate and then gave up
};

struct FailureReport {
  FailureKind kind = FailureKind::Other;
  std::string url;       // the endpoint, or the refused address
  std::string hostPort;  // "host:port" of the endpoint
  // The TLS handshake of the call's connection; null when the call made none.
  const platform::TlsHandshakeNotes* handshake = nullptr;
};

// Gives the sentence that tells a person what is wrong and what to do; empty leaves it to the
// exchange's general sentence of the kind. The error's message is the sentence, then the
// library's text in parentheses.
using FailureExplainer = std::function<std::string(const FailureReport&)>;

struct HttpSettings {
  std::chrono::milliseconds connectTimeout{60000};
  std::chrono::milliseconds sendTimeout{60000};
  std::chrono::milliseconds receiveTimeout{60000};
  // An answer that, once the request is sent, arrives slower than lowSpeedBytesPerSecond over
  // lowSpeedTime ends the call: a trickle of bytes must not hold it for ever.
  std::size_t lowSpeedBytesPerSecond = 1;
  std::chrono::milliseconds lowSpeedTime{60000};
  // No call, redirects included, takes longer than this.
  std::chrono::milliseconds totalTimeout{180000};
  // Answers above this size are refused while they arrive.
  std::size_t maxAnswerBytes = std::size_t{64} << 20;
  // Refuse any address that is not https, redirects included: nothing goes out in clear.
  bool httpsOnly = false;
  // The client certificate and the store's extra trusted issuers, set up on each new TLS
  // context; without it only the system's issuers are trusted and no certificate is offered.
  std::optional<platform::ClientTlsSettings> clientTls;
  FailureExplainer explain;
  // Asked while a call is under way, at least once a second: true ends the call at once with
  // ECallAborted. Called on the thread that makes the call.
  std::function<bool()> aborted;
};

}  // namespace zelvor::soap
