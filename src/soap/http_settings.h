#pragma once
// Settings of one service transport's HTTP exchange.

#include <openssl/ssl.h>

#include <chrono>
#include <cstddef>
#include <functional>

namespace zelvor::soap {

// Prepares each new OpenSSL context of the transport (client certificate choice, extra trusted
// issuers). It may throw; the call then fails with the error's message.
using SslContextSetup = std::function<void(SSL_CTX*)>;

struct HttpSettings {
  std::chrono::milliseconds connectTimeout{60000};
  std::chrono::milliseconds sendTimeout{60000};
  std::chrono::milliseconds receiveTimeout{60000};
  // Answers above this size are refused while they arrive.
  std::size_t maxAnswerBytes = std::size_t{64} << 20;
  SslContextSetup sslContextSetup;
};

}  // namespace zelvor::soap
