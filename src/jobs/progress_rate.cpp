#include "jobs/progress_rate.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace zelvor::jobs {

std::optional<ProgressRate> MeasureRate(std::int64_t done, std::int64_t total,
                                        std::chrono::duration<double> elapsed,
                                        std::int64_t doneAtStart) {
  const double seconds = elapsed.count();
  const std::int64_t progressed = done - doneAtStart;
  if (seconds <= 0 || progressed <= 0) return std::nullopt;
  const double rate = static_cast<double>(progressed) / seconds;
  const auto rest = static_cast<double>(std::max<std::int64_t>(total - done, 0));
  return ProgressRate{rate, std::chrono::seconds(static_cast<long long>(std::ceil(rest / rate)))};
}

std::string FormatDuration(std::chrono::seconds duration) {
  const long long total = std::max<long long>(0, duration.count());
  const long long hours = total / 3600, minutes = total / 60 % 60, seconds = total % 60;
  char text[48];
  if (hours > 0)
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", hours, minutes, seconds);
  else
    std::snprintf(text, sizeof text, "%lld:%02lld", minutes, seconds);
  return text;
}

}  // namespace zelvor::jobs
