// The progress line's text and how often it is redrawn.
#include "cli/progress_meter.h"

#include <gtest/gtest.h>

#include "jobs/progress_rate.h"

namespace zelvor::cli {
namespace {

using namespace std::chrono_literals;

TEST(ProgressText, RateAndTimeLeft) {
  struct Case {
    std::int64_t done, total;
    double seconds;
    std::int64_t doneAtStart;
    const char* text;
  };
  const Case cases[] = {
      {123, 2000, 123 / 41.2, 0, "123/2000 rows  41.2/s  left 0:46"},  // 1877 / 41.2 = 45.6
      {0, 2000, 5, 0, "0/2000 rows"},                      // no rate before the first row
      {10, 2000, 0, 0, "10/2000 rows"},                    // nor at the very start
      {7, 10, 10, 7, "7/10 rows"},                         // nothing done since the meter began
      {17, 10, 10, 7, "10/10 rows  18.0/min  left 0:00"},  // more than the total counts as all
      {1, 3601, 1, 0, "1/3601 rows  1.0/s  left 1:00:00"},
      {3, 10, 120, 0, "3/10 rows  1.5/min  left 4:40"},  // slower than one a second
      {5, 10, 4, 1, "5/10 rows  1.0/s  left 0:05"},      // measured from where the meter began
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ProgressText(c.done, c.total, "rows", std::chrono::duration<double>(c.seconds),
                           c.doneAtStart),
              c.text);
  }
}

TEST(FormatDuration, MinutesAndHours) {
  EXPECT_EQ(jobs::FormatDuration(0s), "0:00");
  EXPECT_EQ(jobs::FormatDuration(59s), "0:59");
  EXPECT_EQ(jobs::FormatDuration(12min + 3s), "12:03");
  EXPECT_EQ(jobs::FormatDuration(26h + 2min + 3s), "26:02:03");
  EXPECT_EQ(jobs::FormatDuration(-5s), "0:00");
}

TEST(ProgressMeter, DrawsAtMostFiveTimesASecondAndMeasuresFromTheFirstReport) {
  std::chrono::steady_clock::time_point now{};
  ProgressMeter meter("days", [&] { return now; });
  now += 30s;  // before the first report: not part of the rate
  EXPECT_EQ(meter.Report(0, 10), "0/10 days");
  now += 100ms;
  EXPECT_EQ(meter.Report(1, 10), std::nullopt);
  now += 100ms;
  EXPECT_EQ(meter.Report(1, 10), "1/10 days  5.0/s  left 0:02");
  now += 199ms;
  EXPECT_EQ(meter.Report(2, 10), std::nullopt);
  now += 1601ms;
  EXPECT_EQ(meter.Report(4, 10), "4/10 days  2.0/s  left 0:03");
}

}  // namespace
}  // namespace zelvor::cli
