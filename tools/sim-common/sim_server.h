#pragma once
// The HTTP side shared by both simulators: the SOAP endpoint with fault injection, the
// admin endpoints under /_sim/, request and connection counts, the time spent serving, and the run
// loop that prints the endpoint and serves until SIGINT or SIGTERM.

#include <httplib.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <set>
#include <string>

#include "sim-common/fault_plan.h"
#include "sim-common/sim_options.h"

namespace zelvor::sim {

inline constexpr std::string_view kXmlContentType = "text/xml; charset=utf-8";

struct Answer {
  int status = 200;
  std::string contentType = std::string(kXmlContentType);
  std::string body;
};

// What a simulated web service answers; the server adds faults around it.
class SoapService {
 public:
  virtual ~SoapService() = default;
  // Answers one posted document. soapAction is null when the header is missing. Sets key
  // to the record the request concerns, so that faults can target it.
  virtual Answer Serve(const std::string& body, const std::string* soapAction,
                       std::string& key) = 0;
  // The service's own fault record, and a fault of another kind.
  virtual Answer ServiceFault() const = 0;
  virtual Answer OtherFault() const = 0;
};

class SimServer {
 public:
  // scheme is "http" or "https"; http is a plain or a TLS server accordingly.
  SimServer(httplib::Server& http, SoapService& service, FaultPlan& faults, ServerSettings settings,
            std::string scheme);

  // Binds, prints "listening on URL" on standard output and serves until SIGINT or
  // SIGTERM. Returns the process exit code.
  int Run();

 private:
  // Times ServeSoap, which answers the request with any fault due.
  void HandleSoap(const httplib::Request& req, httplib::Response& res);
  void ServeSoap(const httplib::Request& req, httplib::Response& res);
  void HandleFaultRequest(const httplib::Request& req, httplib::Response& res);
  void HandleStats(httplib::Response& res);
  void ApplyFault(const Fault& fault, const Answer& answer, const httplib::Request& req,
                  httplib::Response& res);
  void Redirect(const httplib::Request& req, httplib::Response& res, bool loop);
  // Waits ms milliseconds unless the server stops first.
  void Pause(int ms);
  bool Stopping();

  httplib::Server& http_;
  SoapService& service_;
  FaultPlan& faults_;
  ServerSettings settings_;
  std::string scheme_;

  std::mutex mutex_;
  std::condition_variable stopped_;
  bool stopping_ = false;
  std::set<std::string> connections_;
  std::uint64_t requests_ = 0;
  std::uint64_t faultsInjected_ = 0;
  // SOAP requests being answered now, and the most there ever were at once: a client that
  // looks records up on several connections shows here that they were served side by side.
  int inFlight_ = 0;
  int maxInFlight_ = 0;
  // Time spent answering SOAP requests, latency and injected delays included; a benchmark
  // subtracts it from its wall time to see what the client itself costs.
  std::chrono::nanoseconds serviceTime_{0};
};

}  // namespace zelvor::sim
