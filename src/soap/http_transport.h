#pragma once
// A service transport: the endpoint and HTTP client of one web service, carrying every call
// of the interfaces obtained from it. The window owns one per service.

#include <memory>
#include <string>

#include "soap/http_client.h"
#include "soap/invoke_registry.h"

namespace zelvor::soap {

class HttpTransport;

// Each service binding specialises this to give its interface's proxy on a transport.
template <class Interface>
std::unique_ptr<Interface> BindInterface(HttpTransport& transport);

class HttpTransport {
 public:
  explicit HttpTransport(std::string url = {}, HttpSettings settings = {});

  const std::string& URL() const { return url_; }
  void SetURL(std::string url) { url_ = std::move(url); }

  // The service interface on this transport; the transport must outlive it.
  template <class Interface>
  std::unique_ptr<Interface> As() {
    return BindInterface<Interface>(*this);
  }

  // Posts one request document of the operation and returns the answer's body once it has
  // passed the status, length and Content-Type tests.
  std::string Exchange(const InterfaceInfo& service, const OperationInfo& operation,
                       const std::string& request);
  std::string Exchange(const BoundOperation& operation, const std::string& request);

 private:
  std::string Post(const std::string& request, const std::string& soapAction);

  std::string url_;
  HttpClient client_;
};

// Throws ESOAPHTTPException for an answer that cannot carry a SOAP envelope.
void CheckAnswer(const HttpAnswer& answer, const std::string& url);

}  // namespace zelvor::soap
