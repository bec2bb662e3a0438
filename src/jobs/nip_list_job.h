#pragma once
// The tax number list job: a workbook of tax numbers in column A, looked up one by one; a result
// workbook beside it, and each number's outcome written back into columns B and C.

#include <string>
#include <string_view>

#include "jobs/job_context.h"

namespace zelvor::jobs {

// The text a number is read as: the cell's first 20 characters, trimmed of characters of code
// 32 or less, reduced to digits and full stops.
std::string CleanedCellText(std::string_view cell);

// One run over the input workbook the user picks; a failure that concerns one number is written
// into its row, any other failure leaves as an error with the workbooks still open.
void RunNipListJob(JobContext& ctx);

// The button: runs the job and, when it fails, saves what was written and closes both instances
// before the error is shown.
void btnExcel_wyprwadzClick(JobContext& ctx);

}  // namespace zelvor::jobs
