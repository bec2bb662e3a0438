#include "soap/http_transport.h"

#include "soap/lexical.h"
#include "soap/polish_messages.h"
#include "soap/remote_errors.h"

namespace zelvor::soap {

HttpTransport::HttpTransport(std::string url, HttpSettings settings)
    : url_(std::move(url)), client_(std::move(settings)) {}

void CheckAnswer(const HttpAnswer& answer, const std::string& url) {
  // A SOAP fault arrives with status 500, so 500 is read on.
  if ((answer.status >= 300 && answer.status <= 499) || answer.status >= 501) {
    throw ESOAPHTTPException(
        PolishFirst(HttpStatusSentence(answer.status),
                    answer.statusText + " (" + std::to_string(answer.status) + ") - '" + url + "'"),
        static_cast<int>(answer.status), answer.statusText, url);
  }
  if (answer.body.empty()) {
    throw ESOAPHTTPException(
        PolishFirst(EmptyAnswerSentence(), "Invalid HTTP Response: Length is 0"),
        static_cast<int>(answer.status), answer.statusText, url);
  }
  if (EqualsIgnoringAsciiCase(answer.contentType, "text/plain") ||
      EqualsIgnoringAsciiCase(answer.contentType, "text/html")) {
    throw ESOAPHTTPException(
        PolishFirst(ContentTypeSentence(), "Received content of invalid Content-Type setting: " +
                                               answer.contentType + " - SOAP expects \"text/xml\""),
        static_cast<int>(answer.status), answer.statusText, url);
  }
}

std::string HttpTransport::Exchange(const InterfaceInfo& service, const OperationInfo& operation,
                                    const std::string& request) {
  return Post(request, service.SoapAction(operation));
}

std::string HttpTransport::Exchange(const BoundOperation& operation, const std::string& request) {
  return Post(request, operation.soapAction);
}

std::string HttpTransport::Post(const std::string& request, const std::string& soapAction) {
  HttpAnswer answer = client_.Post(url_, request, soapAction);
  CheckAnswer(answer, url_);
  return std::move(answer.body);
}

}  // namespace zelvor::soap
