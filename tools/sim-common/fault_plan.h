#pragma once
// Which requests get an injected fault: faults bound to the key of one record (a tax
// number, a reference number, a day, a VAT number), faults queued for the next requests,
// and faults drawn at a seeded rate.

#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim-common/rng.h"

namespace zelvor::sim {

enum class FaultKind {
  Latency,       // answer normally after a delay
  ServiceFault,  // the service's own fault record
  OtherFault,    // a SOAP fault of another kind
  HttpStatus,    // an HTTP error status with an HTML page
  EmptyBody,     // 200 with no body
  Html,          // 200 text/html
  HtmlCharset,   // 200 "text/html; charset=utf-8"
  Malformed,     // 200 text/xml that is not well-formed
  NotEnvelope,   // 200 text/xml whose root is not a SOAP envelope
  Redirect,      // 307 to the same endpoint, then the normal answer
  RedirectLoop,  // 307 forever
  Stall,         // hold the answer back longer than a client waits
  Truncated,     // announce the whole answer, send half of it, close
  Trickle,       // send the answer one byte every param ms (0: every second)
};

struct Fault {
  FaultKind kind = FaultKind::ServiceFault;
  int param = 0;  // status code, or milliseconds for latency, stall and trickle (0: a default)

  bool operator==(const Fault&) const = default;
};

// "soap-fault", "other-fault", "http-503", "empty", "html", "html-charset", "malformed",
// "not-envelope", "redirect", "redirect-loop", "stall[:ms]", "latency[:ms]", "truncated",
// "trickle[:ms]".
std::optional<Fault> ParseFault(std::string_view text);
std::string FaultName(const Fault& fault);
// The names ParseFault accepts, for usage texts.
std::string_view FaultNames();

class FaultPlan {
 public:
  static constexpr int kAlways = -1;

  FaultPlan() = default;
  // Each request without a keyed or queued fault draws one of kinds with probability rate.
  void SetRandom(double rate, std::uint64_t seed, std::vector<Fault> kinds);
  // A fault for every request about key, kept by Clear (the command line's).
  void AddFixed(std::string key, Fault fault);
  // count kAlways: every request about key faults until Clear.
  void AddKeyed(std::string key, Fault fault, int count);
  void Queue(Fault fault, int count);
  // Drops the keyed and queued faults; fixed ones and the random rate stay.
  void Clear();

  // The fault for the next request about key (key may be empty), and uses it up.
  std::optional<Fault> Next(std::string_view key);

 private:
  struct Pending {
    Fault fault;
    int count;
  };

  std::mutex mutex_;
  std::map<std::string, Fault, std::less<>> fixed_;
  std::map<std::string, std::deque<Pending>, std::less<>> keyed_;
  std::deque<Pending> queued_;
  double rate_ = 0;
  Rng rng_{0};
  std::vector<Fault> randomKinds_;
};

}  // namespace zelvor::sim
