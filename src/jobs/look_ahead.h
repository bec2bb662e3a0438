#pragma once
// Register look-ups of the records ahead of the one being written, each on a register connection
// of its own, handed back in the order they were asked for. The job's thread asks and takes; the
// look-ups only call the register, so nothing they do is seen before the job takes them.

#include <cstdint>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "jobs/job_context.h"
#include "register/register_transport.h"

namespace zelvor::jobs {

// Gives the register interface of the connection a look-up runs on, anew for each call.
using RegisterSource = std::function<std::unique_ptr<reg::CitizenApi>()>;

template <class Result>
class LookAhead {
 public:
  using Work = std::function<Result(const RegisterSource& source)>;

  // At most `connections` look-ups at once. Connections are opened as they are first needed,
  // pointed at the window's register address, and kept alive between look-ups.
  LookAhead(JobContext& ctx, int connections)
      : connections_(static_cast<std::size_t>(connections)),
        open_(ctx.state.openRegisterConnection),
        address_(ctx.state.registerAddress),
        override_(ctx.registerOverride) {
    if (!open_ && !override_) throw std::logic_error("no way to open another register connection");
  }
  LookAhead(const LookAhead&) = delete;
  LookAhead& operator=(const LookAhead&) = delete;
  // Waits for the look-ups still running.
  ~LookAhead() = default;

  bool Full() const { return pending_.size() >= connections_; }

  // Starts the look-up of the record `key` (its input row).
  void Ask(std::int64_t key, Work work) {
    pending_.push_back({key, std::async(std::launch::async, [this, work = std::move(work)] {
                          Connection connection(*this);
                          return work(connection.Source());
                        })});
  }

  // The oldest look-up's result, which must be that of the record `key`; waits for it. A failure
  // the look-up did not keep in its result is thrown here.
  Result Take(std::int64_t key) {
    if (pending_.empty() || pending_.front().first != key) {
      throw std::logic_error("record " + std::to_string(key) + " was not looked up ahead");
    }
    std::future<Result> next = std::move(pending_.front().second);
    pending_.pop_front();
    return next.get();
  }

 private:
  // A connection lent to one look-up, given back to the free ones when it ends.
  class Connection {
   public:
    explicit Connection(LookAhead& owner) : owner_(owner), transport_(owner.TakeTransport()) {}
    ~Connection() { owner_.GiveBack(std::move(transport_)); }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    RegisterSource Source() {
      if (owner_.override_) return owner_.override_;
      return [transport = transport_.get()] { return transport->As<reg::CitizenApi>(); };
    }

   private:
    LookAhead& owner_;
    std::unique_ptr<soap::HttpTransport> transport_;
  };

  std::unique_ptr<soap::HttpTransport> TakeTransport() {
    {
      std::lock_guard lock(mutex_);
      if (!free_.empty()) {
        std::unique_ptr<soap::HttpTransport> transport = std::move(free_.back());
        free_.pop_back();
        return transport;
      }
    }
    if (!open_) return nullptr;  // a test's register stands in for every connection
    std::unique_ptr<soap::HttpTransport> transport = open_();
    reg::ApplyServiceUrl(*transport, address_);
    return transport;
  }

  void GiveBack(std::unique_ptr<soap::HttpTransport> transport) {
    if (!transport) return;
    std::lock_guard lock(mutex_);
    free_.push_back(std::move(transport));
  }

  const std::size_t connections_;
  const std::function<std::unique_ptr<soap::HttpTransport>()> open_;
  const std::string address_;
  const std::function<std::unique_ptr<reg::CitizenApi>()> override_;
  std::mutex mutex_;
  std::vector<std::unique_ptr<soap::HttpTransport>> free_;
  // Last, so that it goes first: the futures wait for their look-ups, which use the rest.
  std::deque<std::pair<std::int64_t, std::future<Result>>> pending_;
};

}  // namespace zelvor::jobs
