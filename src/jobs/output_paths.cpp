#include "jobs/output_paths.h"

#include <cstdio>
#include <filesystem>
#include <functional>

#include "workbook/atomic_save.h"
#include "workbook/file_system.h"

namespace zelvor::jobs {
namespace {

constexpr char kSeparator = std::filesystem::path::preferred_separator;

std::string Joined(std::string_view folder, std::string_view name) {
  std::string path(folder);
  path += kSeparator;
  path += name;
  return path;
}

// The first of path, "<stem>_2<ext>", "<stem>_3<ext>", … that `take` accepts.
std::string FirstTaken(const std::string& path,
                       const std::function<bool(const std::string&)>& take) {
  // Paths are UTF-8 here; the system's own form only for taking them apart.
  const std::filesystem::path original = workbook::files::NativePath(path);
  const std::string stem = workbook::files::Utf8(original.parent_path() / original.stem());
  const std::string extension = workbook::files::Utf8(original.extension());
  for (int number = 1;; ++number) {
    const std::string candidate =
        number == 1 ? path : stem + "_" + std::to_string(number) + extension;
    if (take(candidate)) return candidate;
  }
}

}  // namespace

std::string UnusedPath(const std::string& path) {
  return FirstTaken(path, [](const std::string& candidate) {
    std::error_code error;
    return !std::filesystem::exists(std::filesystem::symlink_status(candidate, error));
  });
}

std::string ReserveUnusedPath(const std::string& path,
                              const std::function<void(const std::string& tempPath)>& write) {
  return FirstTaken(path, [&](const std::string& candidate) {
    return workbook::ReserveNewFile(candidate, write);
  });
}

std::string FormatTimestamp(std::chrono::local_seconds time) {
  const auto days = std::chrono::floor<std::chrono::days>(time);
  const std::chrono::year_month_day date{days};
  const std::chrono::hh_mm_ss clock{time - days};
  char text[32];
  std::snprintf(text, sizeof text, "%04d_%02u_%02u_%02d_%02d_%02d", int(date.year()),
                unsigned(date.month()), unsigned(date.day()), int(clock.hours().count()),
                int(clock.minutes().count()), int(clock.seconds().count()));
  return text;
}

std::string FormatDay(std::chrono::year_month_day day) {
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02u-%02u", int(day.year()), unsigned(day.month()),
                unsigned(day.day()));
  return text;
}

std::string FolderOf(std::string_view filePath) {
  const size_t slash = filePath.find_last_of(kSeparator);
  return slash == std::string_view::npos ? std::string()
                                         : std::string(filePath.substr(0, slash + 1));
}

std::string ListJobOutputPath(std::string_view inputPath, std::chrono::local_seconds now) {
  return FolderOf(inputPath) + "Wynik_Hdr_" + FormatTimestamp(now) + ".xlsx";
}

std::string PeriodJobOutputPath(std::string_view documentsFolder,
                                std::chrono::year_month_day firstDay,
                                std::chrono::year_month_day lastDay,
                                std::chrono::local_seconds start) {
  auto compact = [](std::chrono::year_month_day day) {
    std::string text = FormatDay(day);
    std::erase(text, '-');
    return "-" + text;
  };
  return Joined(documentsFolder, "Wynik_Day_Hdr" + compact(firstDay) + compact(lastDay) + "_" +
                                     FormatTimestamp(start) + ".xlsx");
}

std::string UserColumnsCopyPath(std::string_view inputPath, std::chrono::local_seconds now) {
  const std::filesystem::path input = workbook::files::NativePath(inputPath);
  const auto minutes =
      std::chrono::floor<std::chrono::minutes>(now - std::chrono::floor<std::chrono::days>(now));
  char clock[8];
  std::snprintf(clock, sizeof clock, "%02d.%02d", static_cast<int>(minutes.count() / 60),
                static_cast<int>(minutes.count() % 60));
  const std::string name =
      workbook::files::Utf8(input.stem()) + " (kopia " +
      FormatDay(std::chrono::year_month_day{std::chrono::floor<std::chrono::days>(now)}) + " " +
      clock + ")" + workbook::files::Utf8(input.extension());
  return FolderOf(inputPath) + name;
}

std::string WorkbookTestPath(std::string_view programFolder, std::chrono::local_seconds now) {
  return Joined(programFolder, "Wynika_Hdr_" + FormatTimestamp(now) + ".xlsx");
}

}  // namespace zelvor::jobs
