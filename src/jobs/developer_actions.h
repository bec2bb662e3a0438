#pragma once
// The two hidden developer buttons: a lookup of typed tax numbers, and a workbook written by the
// spreadsheet component.

#include "jobs/job_context.h"

namespace zelvor::jobs {

// Looks up the lines of mNIP up to the first empty one, lists the hits in mOutput, and writes
// the results to "abc.csv" beside the program.
void RunDeveloperLookup(JobContext& ctx);

// Creates a one-sheet workbook "Wynika_Hdr_<time>.xlsx" beside the program.
void WriteSampleWorkbook(JobContext& ctx);

}  // namespace zelvor::jobs
