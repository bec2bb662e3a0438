#include "soap/remote_errors.h"

namespace zelvor::soap {

ERemotableException::ERemotableException(std::string message, std::string faultCode,
                                         std::string faultActor, std::string faultDetail)
    : message_(std::move(message)),
      faultCode_(std::move(faultCode)),
      faultActor_(std::move(faultActor)),
      faultDetail_(std::move(faultDetail)) {}

void ERemotableException::Raise() {
  throw std::move(*this);
}

ESOAPHTTPException::ESOAPHTTPException(const std::string& message, int statusCode,
                                       std::string statusText, std::string url)
    : std::runtime_error(message),
      statusCode_(statusCode),
      statusText_(std::move(statusText)),
      url_(std::move(url)) {}

bool IsTransientFailure(const std::exception& error) {
  if (const auto* transport = dynamic_cast<const ETransportError*>(&error)) {
    return transport->Transient();
  }
  if (const auto* http = dynamic_cast<const ESOAPHTTPException*>(&error)) {
    const int status = http->StatusCode();
    return status == 502 || status == 503 || status == 504;
  }
  return false;
}

}  // namespace zelvor::soap
