#pragma once
// File names the jobs build from the clock and the chosen folders.

#include <chrono>
#include <functional>
#include <string>
#include <string_view>

namespace zelvor::jobs {

// "yyyy_mm_dd_hh_mm_ss", the hour from 00 to 23.
std::string FormatTimestamp(std::chrono::local_seconds time);
// "yyyy-mm-dd".
std::string FormatDay(std::chrono::year_month_day day);

// The folder of a file with its trailing separator, or "" for a bare name.
std::string FolderOf(std::string_view filePath);

// The list job's result workbook beside its input: "<folder>/Wynik_Hdr_<stamp>.xlsx".
std::string ListJobOutputPath(std::string_view inputPath, std::chrono::local_seconds now);

// The period job's dated workbook in the documents folder (which may be empty):
// "<documents>/Wynik_Day_Hdr-<first>-<last>_<stamp>.xlsx", days as yyyymmdd.
std::string PeriodJobOutputPath(std::string_view documentsFolder,
                                std::chrono::year_month_day firstDay,
                                std::chrono::year_month_day lastDay,
                                std::chrono::local_seconds start);

// `path` when no file of that name exists, else the first free one of "<name>_2.xlsx",
// "<name>_3.xlsx", … in the same folder.
std::string UnusedPath(const std::string& path);

// As UnusedPath, but the name is taken at once by a complete file that `write` fills under a
// temporary name (see workbook::ReserveNewFile), so that two runs started in the same second
// never share it and the name never shows an empty file. Throws EWorkbookError naming the file
// when the folder does not take a new file.
std::string ReserveUnusedPath(const std::string& path,
                              const std::function<void(const std::string& tempPath)>& write);

// The copy the list job keeps of an input whose columns B and C held the user's own data:
// "<folder>/<name> (kopia yyyy-mm-dd hh.mm)<ext>".
std::string UserColumnsCopyPath(std::string_view inputPath, std::chrono::local_seconds now);

// The developer workbook test's file beside the program: "<folder>/Wynika_Hdr_<stamp>.xlsx".
std::string WorkbookTestPath(std::string_view programFolder, std::chrono::local_seconds now);

}  // namespace zelvor::jobs
