// Tries of a register call that fails for a transient reason, and a stop during the wait.
#include <gtest/gtest.h>

#include <chrono>

#include "jobs/job_context.h"

namespace zelvor::jobs {
namespace {

using namespace std::chrono_literals;

struct Api {};

// A call that fails with a dropped connection until its `succeedAt`-th try.
struct FlakyCall {
  int succeedAt;
  int tries = 0;
  int operator()(Api&) {
    if (++tries < succeedAt) throw soap::ETransportError("Connection died", 56, true);
    return tries;
  }
};

TEST(CallWithRetries, TriesAgainAfterEachDelayUntilTheLastFailureIsThrown) {
  const Retries retries{{1ms, 1ms}};
  const auto api = [] { return std::make_unique<Api>(); };
  FlakyCall third{3};
  EXPECT_EQ(CallWithRetries(api, retries, std::ref(third)), 3);
  FlakyCall never{100};
  EXPECT_THROW(CallWithRetries(api, retries, std::ref(never)), soap::ETransportError);
  EXPECT_EQ(never.tries, 3);
}

// A stop while the call waits for its next try ends it as a stop in flight would, without the
// try, however long the wait was to be.
TEST(CallWithRetries, AStopDuringTheWaitEndsTheCall) {
  bool stopped = false;
  FlakyCall flaky{2};
  const Retries retries{{1h}, [&stopped] { return stopped; }};
  auto call = [&](Api& api) {
    stopped = true;  // the person ticks the stop box while this try fails
    return flaky(api);
  };
  EXPECT_THROW(CallWithRetries([] { return std::make_unique<Api>(); }, retries, call),
               soap::ECallAborted);
  EXPECT_EQ(flaky.tries, 1);
}

}  // namespace
}  // namespace zelvor::jobs
