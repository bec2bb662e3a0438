#pragma once
// What a run of a batch job did, counted as it goes, and the summary line it ends with, so that
// a run whose records failed never reads as a good one.

#include <cstdint>
#include <string>

namespace zelvor::jobs {

// The message of a run's first failed call, for the box shown at the run's end.
struct FirstError {
  std::string firstError;

  void Note(const std::string& message) {
    if (firstError.empty()) firstError = message;
  }
};

// The tax number list job: every record ends in exactly one of the outcomes, or is not
// processed when the stop box ends the run first.
struct ListRunCounts : FirstError {
  std::int64_t records = 0;  // data rows of the input sheet
  std::int64_t found = 0;
  std::int64_t notFound = 0;
  std::int64_t invalid = 0;
  std::int64_t repeated = 0;
  std::int64_t searchErrors = 0;
  std::int64_t detailErrors = 0;

  std::int64_t Processed() const {
    return found + notFound + invalid + repeated + searchErrors + detailErrors;
  }
  std::int64_t NotProcessed() const { return records - Processed(); }
  std::int64_t Failures() const { return searchErrors + detailErrors; }
  // Every look-up the run made failed (records with no look-up, such as invalid numbers, count
  // neither way).
  bool NoneSucceeded() const { return Failures() > 0 && found + notFound == 0; }
};

// The period job: a day fails when its search does, an enterprise when its details do.
struct PeriodRunCounts : FirstError {
  std::int64_t daysInPeriod = 0;  // the days the run was asked for; 0 when it is not known
  std::int64_t days = 0;          // the days begun
  std::int64_t daysFailed = 0;
  std::int64_t enterprisesWritten = 0;
  std::int64_t enterprisesFailed = 0;

  std::int64_t Failures() const { return daysFailed + enterprisesFailed; }
  // Something failed and not one enterprise reached the workbook.
  bool NoneSucceeded() const { return Failures() > 0 && enterprisesWritten == 0; }
};

std::string SummaryLine(const ListRunCounts& counts);
std::string SummaryLine(const PeriodRunCounts& counts);

// The line that names where the run's result workbook is.
std::string ResultLine(const std::string& path);

// The text of the box shown after a run with failures: the summary and the first error.
template <class Counts>
std::string FailureReport(const Counts& counts) {
  return SummaryLine(counts) + "\n\nPierwszy błąd: " + counts.firstError;
}

}  // namespace zelvor::jobs
