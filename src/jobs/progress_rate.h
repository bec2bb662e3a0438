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

// Where a job's rate is measured from: its first report, so the time spent before it (a file
// dialog, opening the workbook) does not count.
class RateStart {
 public:
  // Notes a report made at `now` with `done` finished; the time since the first report.
  std::chrono::duration<double> Elapsed(std::chrono::steady_clock::time_point now,
                                        std::int64_t done) {
    if (!start_) {
      start_ = now;
      doneAtStart_ = done;
    }
    return now - *start_;
  }
  // What was finished at the first report.
  std::int64_t DoneAtStart() const { return doneAtStart_; }

 private:
  std::optional<std::chrono::steady_clock::time_point> start_;
  std::int64_t doneAtStart_ = 0;
};

// "0:45", "12:03", "1:02:03".
std::string FormatDuration(std::chrono::seconds duration);

}  // namespace zelvor::jobs
