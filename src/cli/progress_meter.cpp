#include "cli/progress_meter.h"

#include <algorithm>
#include <cstdio>

#include "jobs/progress_rate.h"

namespace zelvor::cli {

std::string ProgressText(std::int64_t done, std::int64_t total, std::string_view unit,
                         std::chrono::duration<double> elapsed, std::int64_t doneAtStart) {
  total = std::max<std::int64_t>(total, 0);
  done = std::clamp<std::int64_t>(done, 0, total);
  std::string text = std::to_string(done) + "/" + std::to_string(total) + " " + std::string(unit);
  const std::optional<jobs::ProgressRate> rate =
      jobs::MeasureRate(done, total, elapsed, doneAtStart);
  if (!rate) return text;
  char rateText[32];
  // Below one a second a rate per minute still says something.
  if (rate->perSecond >= 1)
    std::snprintf(rateText, sizeof rateText, "  %.1f/s", rate->perSecond);
  else
    std::snprintf(rateText, sizeof rateText, "  %.1f/min", rate->perSecond * 60);
  return text + rateText + "  left " + jobs::FormatDuration(rate->left);
}

ProgressMeter::ProgressMeter(std::string unit, Clock clock)
    : unit_(std::move(unit)), clock_(std::move(clock)) {}

std::optional<std::string> ProgressMeter::Report(std::int64_t done, std::int64_t total) {
  const auto now = clock_();
  const auto elapsed = rateStart_.Elapsed(now, done);
  if (lastDrawn_ && now - *lastDrawn_ < kInterval) return std::nullopt;
  lastDrawn_ = now;
  return ProgressText(done, total, unit_, elapsed, rateStart_.DoneAtStart());
}

}  // namespace zelvor::cli
