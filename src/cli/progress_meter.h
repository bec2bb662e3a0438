#pragma once
// The progress of a running job as one line of text: how far, how fast, how long still.

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "jobs/progress_rate.h"

namespace zelvor::cli {

// "123/2000 rows  41.2/s  left 0:45" ("1.5/min" below one a second); the rate and the time
// left only once there is a rate.
std::string ProgressText(std::int64_t done, std::int64_t total, std::string_view unit,
                         std::chrono::duration<double> elapsed, std::int64_t doneAtStart = 0);

// Turns progress reports into lines to draw, no more often than every interval. The rate is
// measured from the first report, so the time spent before it does not count.
class ProgressMeter {
 public:
  using Clock = std::function<std::chrono::steady_clock::time_point()>;
  static constexpr std::chrono::milliseconds kInterval{200};

  explicit ProgressMeter(std::string unit, Clock clock = &std::chrono::steady_clock::now);

  // The text to draw now, or nothing when the last one drawn is too recent.
  std::optional<std::string> Report(std::int64_t done, std::int64_t total);

 private:
  std::string unit_;
  Clock clock_;
  jobs::RateStart rateStart_;
  std::optional<std::chrono::steady_clock::time_point> lastDrawn_;
};

}  // namespace zelvor::cli
