#pragma once
// A service transport: the endpoint and HTTP client of one web service, carrying every call
// of the interfaces obtained from it. The window owns one per service.

#include <memory>
#include <span>
#include <string>

#include "soap/envelope_writer.h"
#include "soap/http_client.h"
#include "soap/invoke_registry.h"
#include "soap/remotable.h"

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

  // One call: writes the request, posts it, tests and parses the answer, and reads the return
  // value into the result holder's first field, or raises the error the answer carries.
  void Invoke(const InterfaceInfo& service, const OperationInfo& operation,
              std::span<const Argument> arguments, Remotable& result);

 private:
  std::string url_;
  HttpClient client_;
};

// Throws ESOAPHTTPException for an answer that cannot carry a SOAP envelope.
void CheckAnswer(const HttpAnswer& answer, const std::string& url);

}  // namespace zelvor::soap
