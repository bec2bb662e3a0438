#include "jobs/output_paths.h"

#include <gtest/gtest.h>

namespace zelvor::jobs {
namespace {

using namespace std::chrono;

constexpr local_seconds At(year_month_day day, int h, int m, int s) {
  return local_days{day} + hours{h} + minutes{m} + seconds{s};
}

TEST(OutputPaths, TimestampsArePaddedWithA24HourClock) {
  EXPECT_EQ(FormatTimestamp(At(2024y / 3 / 5, 7, 8, 9)), "2024_03_05_07_08_09");
  EXPECT_EQ(FormatTimestamp(At(2024y / 12 / 31, 23, 59, 59)), "2024_12_31_23_59_59");
  EXPECT_EQ(FormatTimestamp(At(999y / 1 / 1, 0, 0, 0)), "0999_01_01_00_00_00");
}

TEST(OutputPaths, ListJobWritesBesideItsInput) {
  EXPECT_EQ(ListJobOutputPath("/home/ala/klienci.xlsx", At(2024y / 12 / 4, 15, 30, 0)),
            "/home/ala/Wynik_Hdr_2024_12_04_15_30_00.xlsx");
  EXPECT_EQ(FolderOf("/a/b/c.xlsx"), "/a/b/");
  EXPECT_EQ(FolderOf("c.xlsx"), "");
}

TEST(OutputPaths, PeriodJobNamesFirstAndLastDayAndStartTime) {
  const auto start = At(2024y / 12 / 4, 9, 5, 1);
  EXPECT_EQ(PeriodJobOutputPath("/home/ala/Dokumenty", 2024y / 1 / 2, 2024y / 11 / 30, start),
            "/home/ala/Dokumenty/Wynik_Day_Hdr-20240102-20241130_2024_12_04_09_05_01.xlsx");
  // Without a documents folder the path starts at the separator.
  EXPECT_EQ(PeriodJobOutputPath("", 2024y / 1 / 2, 2024y / 1 / 2, start),
            "/Wynik_Day_Hdr-20240102-20240102_2024_12_04_09_05_01.xlsx");
}

TEST(OutputPaths, TheCopyOfTheUsersColumnsIsBesideTheInputWithItsMinute) {
  EXPECT_EQ(UserColumnsCopyPath("/home/ala/klienci.xlsx", At(2024y / 12 / 4, 9, 5, 59)),
            "/home/ala/klienci (kopia 2024-12-04 09.05).xlsx");
}

TEST(OutputPaths, WorkbookTestFileBesideTheProgram) {
  EXPECT_EQ(WorkbookTestPath("/opt/zelvor", At(2025y / 1 / 15, 0, 0, 0)),
            "/opt/zelvor/Wynika_Hdr_2025_01_15_00_00_00.xlsx");
}

}  // namespace
}  // namespace zelvor::jobs
