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

// One run over the input workbook the user picks. A failure that concerns one number is written
// into its row; any other failure ends the run: what was written is saved, both instances are
// closed, and then the error is logged and shown.
void RunNipListJob(JobContext& ctx);

}  // namespace zelvor::jobs
