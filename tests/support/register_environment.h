#pragma once
// A register simulator on loopback with certificates made for the run: the user's certificate
// store holds a "KREPTD" client certificate and trusts the simulator's issuer, as on an office
// computer set up for the register.

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "register-sim/synthetic_register.h"
#include "soap/http_transport.h"
#include "support/scratch_folder.h"
#include "support/sim_process.h"
#include "support/test_pki.h"

namespace zelvor::test {

class RegisterEnvironment {
 public:
  static constexpr std::uint64_t kSeed = 11;
  static constexpr std::size_t kSize = 400;

  // Starts register-sim with the extra arguments (faults, latency).
  explicit RegisterEnvironment(const std::vector<std::string>& simArgs = {});

  const std::string& Url() const { return sim_->Url(); }
  const std::filesystem::path& StoreFolder() const { return store_.Path(); }
  const sim::SyntheticRegister& Data() const { return data_; }
  // The tax numbers of the register's first `count` enterprises: every one is found.
  std::vector<std::string> FirstNumbers(std::size_t count) const;
  // A transport as the window makes it, pointed at the simulator.
  std::shared_ptr<soap::HttpTransport> MakeTransport() const;

  // Asks the simulator for a fault of `kind` on the next `count` requests about `key`,
  // speaking to it with the store's own certificate; returns the HTTP status.
  long InjectFault(const std::string& kind, const std::string& key, int count = 1) const;
  // The register requests the simulator has served so far.
  long Requests() const { return Stat("requests"); }
  // The most SOAP requests the simulator answered at the same time.
  long MaxInFlight() const { return Stat("maxInFlight"); }
  // The SOAP requests being answered now.
  long InFlight() const { return Stat("inFlight"); }
  // A figure of the simulator's statistics by its name.
  long Stat(const std::string& name) const;
  // Kills the simulator outright, as a crash would, and starts it again on the same port after
  // `downtime`; its statistics start from zero.
  void Restart(std::chrono::milliseconds downtime);

 private:
  SimulatorPki pki_;
  ScratchFolder store_;
  sim::SyntheticRegister data_{kSeed, kSize};
  std::vector<std::string> simArgs_;
  std::unique_ptr<SimProcess> sim_;
};

using sim::UnknownValidNip;

}  // namespace zelvor::test
