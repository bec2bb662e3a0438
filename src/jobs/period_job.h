#pragma once
// The period download job: every enterprise whose transport manager's certificate was issued on
// a day of the period, fetched once per run, into one dated result workbook.

#include <chrono>
#include <string_view>

#include "jobs/job_context.h"
#include "jobs/run_summary.h"

namespace zelvor::jobs {

// A reference number the job never processes.
inline constexpr std::string_view kExcludedReferenceNumber = "P/2011/00000001";

// Asks where to save, walks the days, finishes the workbook and offers to open it.
void RunPeriodJob(JobContext& ctx);

// One day: search by certificate issue date and write every enterprise not met before.
// The longest header length starts at 0 for each day. What the day did is added to `counts`.
void DownloadDay(JobContext& ctx, std::chrono::year_month_day day, PeriodRunCounts& counts);

}  // namespace zelvor::jobs
