#pragma once
// Settings of one service transport's HTTP exchange.

#include <chrono>
#include <cstddef>
#include <optional>

#include "platform/tls_client.h"

namespace zelvor::soap {

struct HttpSettings {
  std::chrono::milliseconds connectTimeout{60000};
  std::chrono::milliseconds sendTimeout{60000};
  std::chrono::milliseconds receiveTimeout{60000};
  // Answers above this size are refused while they arrive.
  std::size_t maxAnswerBytes = std::size_t{64} << 20;
  // The client certificate and the store's extra trusted issuers, set up on each new TLS
  // context; without it only the system's issuers are trusted and no certificate is offered.
  std::optional<platform::ClientTlsSettings> clientTls;
};

}  // namespace zelvor::soap
