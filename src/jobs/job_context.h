#pragma once
// What every job works with: the shared run state, the host that shows and asks, and the
// spreadsheet component that opens and writes workbooks.

#include <chrono>
#include <exception>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "jobs/host.h"
#include "jobs/run_state.h"
#include "register/citizen_api.h"
#include "soap/remote_errors.h"
#include "workbook/spreadsheet.h"

namespace zelvor::jobs {

// True for the failure of a call that the person's stop ended in flight: the record it was
// for is marked as interrupted, not as failed.
inline bool StoppedInFlight(const std::exception& error) {
  return dynamic_cast<const soap::ECallAborted*>(&error) != nullptr;
}

// When a call that failed for a transient reason is tried again, and what ends the waits.
struct Retries {
  std::vector<std::chrono::milliseconds> delays = {std::chrono::seconds(1),
                                                   std::chrono::seconds(3)};
  // True once the person stopped the run: a wait for the next try ends at once.
  std::function<bool()> stopped = [] { return false; };
};

// Waits `delay`, or less when `stopped` says so meanwhile; false then.
bool WaitUnlessStopped(std::chrono::milliseconds delay, const std::function<bool()>& stopped);

// Calls `call` with the interface `obtain` gives, obtained anew for each try; a transient failure
// is tried again after each of the delays before it reaches the caller. A stop during a wait
// ends the call as a stop in flight would.
template <class Obtain, class Call>
auto CallWithRetries(Obtain obtain, const Retries& retries, Call call)
    -> decltype(call(*obtain())) {
  for (std::size_t attempt = 0;; ++attempt) {
    try {
      return call(*obtain());
    } catch (const std::exception& e) {
      if (attempt >= retries.delays.size() || !soap::IsTransientFailure(e)) throw;
    }
    if (!WaitUnlessStopped(retries.delays[attempt], retries.stopped)) throw soap::ECallAborted();
  }
}

struct JobContext {
  RunState& state;
  JobHost& host;
  workbook::ApplicationFactory& spreadsheets;
  // Replaces the register interface of the register transport when set: a register whose answers a
  // test writes itself.
  std::function<std::unique_ptr<reg::CitizenApi>()> registerOverride = {};
  // The waits before each new try of a register call that failed for a transient reason.
  Retries retries = {};

  // The register interface of the register transport, obtained anew right before each call.
  std::unique_ptr<reg::CitizenApi> Register() {
    return registerOverride ? registerOverride() : state.registerTransport->As<reg::CitizenApi>();
  }

  // Calls `call` with the register's interface; a transient failure (no connection, time-out,
  // an overloaded gateway) is tried again after each retry delay before it reaches the caller.
  template <class Call>
  auto CallRegister(Call call) -> decltype(call(std::declval<reg::CitizenApi&>())) {
    return CallWithRetries([this] { return Register(); }, retries, call);
  }
};

// Starts the input instance into inputSpreadsheet and shows it in the status bar meanwhile.
void OpenInputSpreadsheet(JobContext& ctx);
// Quits the input instance and clears inputSpreadsheet and inputSheet.
void CloseInputSpreadsheet(JobContext& ctx);

}  // namespace zelvor::jobs
