#pragma once
// How fast a job goes and how long its rest will take, for the progress shown while it runs.

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace zelvor::jobs {

struct ProgressRate {
  double perSecond = 0;
  std::chrono::seconds left{0};
};

// The rate measured over `elapsed`, in which done - doneAtStart units were finished, and the time
// the rest of `total` takes at it; nothing while there is no rate yet.
std::optional<ProgressRate> MeasureRate(std::int64_t done, std::int64_t total,
                                        std::chrono::duration<double> elapsed,
                                        std::int64_t doneAtStart = 0);

// "0:45", "12:03", "1:02:03".
std::string FormatDuration(std::chrono::seconds duration);

}  // namespace zelvor::jobs
