#pragma once
// The errors a remote call raises to its caller. Callers use only the message.

#include <memory>
#include <stdexcept>
#include <string>

namespace zelvor::soap {

// The server answered with a SOAP fault. A service may register a fault record deriving
// from this class; the reader then raises that record instead.
class ERemotableException : public std::exception {
 public:
  explicit ERemotableException(std::string message = {}, std::string faultCode = {},
                               std::string faultActor = {}, std::string faultDetail = {});

  const char* what() const noexcept override { return message_.c_str(); }
  const std::string& Message() const { return message_; }
  // A fault record is created empty by the reader and then given the fault string.
  void SetMessage(std::string v) { message_ = std::move(v); }

  const std::string& FaultCode() const { return faultCode_; }
  const std::string& FaultActor() const { return faultActor_; }
  const std::string& FaultDetail() const { return faultDetail_; }
  void SetFaultCode(std::string v) { faultCode_ = std::move(v); }
  void SetFaultActor(std::string v) { faultActor_ = std::move(v); }
  void SetFaultDetail(std::string v) { faultDetail_ = std::move(v); }

  // Throws this error as its most derived type (the reader holds it by base pointer).
  [[noreturn]] virtual void Raise();

 private:
  std::string message_;
  std::string faultCode_;
  std::string faultActor_;
  std::string faultDetail_;
};

// The HTTP answer cannot be used.
class ESOAPHTTPException : public std::runtime_error {
 public:
  ESOAPHTTPException(const std::string& message, int statusCode, std::string statusText,
                     std::string url);
  int StatusCode() const { return statusCode_; }
  const std::string& StatusText() const { return statusText_; }
  const std::string& URL() const { return url_; }

 private:
  int statusCode_;
  std::string statusText_;
  std::string url_;
};

// The answer is not a SOAP message of the expected shape.
class ESOAPDomConvertError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A value on the wire cannot be converted to its field's kind.
class EConvertError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A date text that is not an XML Schema date.
class EDateError : public EConvertError {
 public:
  using EConvertError::EConvertError;
};

// No connection, time-out, TLS failure: the HTTP layer's own message.
class ETransportError : public std::runtime_error {
 public:
  // transient: the same call may well succeed a moment later (no connection, time-out, a
  // connection the server closed); a refused certificate or a refused URL is not.
  explicit ETransportError(const std::string& message, int code = 0, bool transient = false)
      : std::runtime_error(message), code_(code), transient_(transient) {}
  int Code() const { return code_; }
  bool Transient() const { return transient_; }

 private:
  int code_;
  bool transient_;
};

// A call ended in flight because the person stopped the run; never tried again.
class ECallAborted : public ETransportError {
 public:
  ECallAborted() : ETransportError(kMessage) {}
  static constexpr const char* kMessage = "PRZERWANE PRZEZ UŻYTKOWNIKA";
};

// True for a failure worth one more try of the same call: a transient transport error, or an
// HTTP 502, 503 or 504 of a gateway or an overloaded server. A SOAP fault never is.
bool IsTransientFailure(const std::exception& error);

}  // namespace zelvor::soap
