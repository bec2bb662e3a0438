#include "cli/progress_meter.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace zelvor::cli {

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

std::string ProgressText(std::int64_t done, std::int64_t total, std::string_view unit,
                         std::chrono::duration<double> elapsed, std::int64_t doneAtStart) {
  total = std::max<std::int64_t>(total, 0);
  done = std::clamp<std::int64_t>(done, 0, total);
  std::string text = std::to_string(done) + "/" + std::to_string(total) + " " + std::string(unit);
  const double seconds = elapsed.count();
  const std::int64_t progressed = done - doneAtStart;
  if (seconds <= 0 || progressed <= 0) return text;

  const double rate = static_cast<double>(progressed) / seconds;
  char rateText[32];
  // Below one a second a rate per minute still says something.
  if (rate >= 1)
    std::snprintf(rateText, sizeof rateText, "  %.1f/s", rate);
  else
    std::snprintf(rateText, sizeof rateText, "  %.1f/min", rate * 60);
  const auto left = std::chrono::seconds(
      static_cast<long long>(std::ceil(static_cast<double>(total - done) / rate)));
  return text + rateText + "  left " + FormatDuration(left);
}

ProgressMeter::ProgressMeter(std::string unit, Clock clock)
    : unit_(std::move(unit)), clock_(std::move(clock)) {}

std::optional<std::string> ProgressMeter::Report(std::int64_t done, std::int64_t total) {
  const auto now = clock_();
  if (!start_) {
    start_ = now;
    doneAtStart_ = done;
  }
  if (lastDrawn_ && now - *lastDrawn_ < kInterval) return std::nullopt;
  lastDrawn_ = now;
  return ProgressText(done, total, unit_, now - *start_, doneAtStart_);
}

}  // namespace zelvor::cli
