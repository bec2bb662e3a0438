#pragma once
// Command line of a simulator: "--name value" or "--name=value"; options shared by both
// simulators (where to listen, latency and faults) are read here.

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "sim-common/fault_plan.h"

namespace zelvor::sim {

class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class Options {
 public:
  // Throws UsageError for an unknown option or a missing value. "--help" is kept as a flag.
  Options(int argc, char** argv, std::vector<std::string_view> allowed);

  bool Has(std::string_view name) const;
  bool Help() const { return help_; }
  // The last value given for name.
  std::optional<std::string> Get(std::string_view name) const;
  std::vector<std::string> All(std::string_view name) const;
  std::string Text(std::string_view name, std::string_view fallback) const;
  long long Integer(std::string_view name, long long fallback, long long min, long long max) const;
  double Real(std::string_view name, double fallback, double min, double max) const;

 private:
  std::vector<std::pair<std::string, std::string>> values_;
  bool help_ = false;
};

struct ServerSettings {
  std::string host = "127.0.0.1";
  int port = 0;
  std::string path;
  int latencyMs = 0;     // added to every answer
  int stallMs = 120000;  // a stall without its own duration
  // How long an idle connection is kept. The HTTP server counts whole seconds, so this is rounded
  // up to them; 0 closes a connection as soon as it is idle.
  int keepAliveMs = 15000;
  int threads = 32;  // each open connection holds one
};

// The options every simulator takes; a simulator adds its own.
std::vector<std::string_view> CommonOptionNames();
std::string_view CommonUsage();

// Reads the common options; only loopback hosts are accepted.
ServerSettings ReadServerSettings(const Options& options, std::string_view defaultPath);
// --fault KEY=kind (repeatable), --fault-rate, --fault-seed, --fault-kinds.
void ReadFaults(const Options& options, FaultPlan& plan);

}  // namespace zelvor::sim
