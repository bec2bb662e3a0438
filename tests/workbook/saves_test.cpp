// Saves and reservations as every system makes them: a file appears whole under its name, a
// name taken is never written over, what a dead process left half-made goes with the next save,
// and names with Polish letters work throughout.

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "support/scratch_folder.h"
#include "support/workbook_test_support.h"
#include "workbook/atomic_save.h"
#include "workbook/errors.h"
#include "workbook/file_system.h"

namespace zelvor::workbook {
namespace {

namespace fs = std::filesystem;
using test::FileNames;
using test::ReadFile;
using test::SaveText;
using test::WriteFile;
using zelvor::test::ScratchFolder;

// No process has this number, here or on Windows.
constexpr const char* kDeadProcess = "2147483000";

TEST(Saves, AReservedNameShowsACompleteFileAndNeverReplacesOne) {
  ScratchFolder dir;
  const std::string target = dir.File("Wynik.xlsx");
  int writes = 0;
  const auto write = [&](const std::string& temp) {
    ++writes;
    // The name is not visible before the file is complete.
    EXPECT_FALSE(fs::exists(target));
    WriteFile(temp, "empty book");
  };
  ASSERT_TRUE(ReserveNewFile(target, write));
  EXPECT_EQ(ReadFile(target), "empty book");
  EXPECT_FALSE(ReserveNewFile(target, write)) << "a taken name is not taken again";
  EXPECT_EQ(writes, 1);
  WriteFile(dir.File("other.xlsx"), "somebody's");
  EXPECT_FALSE(ReserveNewFile(dir.File("other.xlsx"), write));
  EXPECT_EQ(ReadFile(dir.File("other.xlsx")), "somebody's");

  // Only a reservation never saved over is discarded.
  ASSERT_TRUE(DiscardReserved(target));
  EXPECT_EQ(FileNames(dir.Path()), std::set<std::string>{"other.xlsx"});
  ASSERT_TRUE(ReserveNewFile(target, write));
  SaveText(target, "rows");
  EXPECT_FALSE(DiscardReserved(target));
  EXPECT_EQ(ReadFile(target), "rows");
  EXPECT_EQ(FileNames(dir.Path()), (std::set<std::string>{"Wynik.xlsx", "other.xlsx"}));

  // A write that fails leaves neither name behind.
  EXPECT_THROW(ReserveNewFile(dir.File("failed.xlsx"),
                              [](const std::string&) { throw EWorkbookError("disk full"); }),
               EWorkbookError);
  EXPECT_EQ(FileNames(dir.Path()), (std::set<std::string>{"Wynik.xlsx", "other.xlsx"}));
}

TEST(Saves, WhatADeadProcessLeftGoesWithTheNextSaveInAFolderWithPolishLetters) {
  ScratchFolder scratch;
  const std::string folder = scratch.File("Klienci – Łódź");
  fs::create_directory(files::NativePath(folder));
  const std::string dead = kDeadProcess;
  // A save cut off half way, and a reservation never saved over.
  WriteFile(folder + "/.zółw.xlsx.~" + dead + "-3.tmp", "half a workbook");
  WriteFile(folder + "/Wynik_Hdr_ąę.xlsx", "empty book");
  ASSERT_TRUE(
      files::LinkNew(files::NativePath(folder + "/Wynik_Hdr_ąę.xlsx"),
                     files::NativePath(folder + "/.Wynik_Hdr_ąę.xlsx.~" + dead + "-r.tmp")));
  WriteFile(folder + "/Notatki – Łódź.xlsx", "somebody's");

  SaveText(folder + "/Zażółć.xlsx", "rows");
  EXPECT_EQ(FileNames(files::NativePath(folder)),
            (std::set<std::string>{"Notatki – Łódź.xlsx", "Zażółć.xlsx"}));
  EXPECT_EQ(ReadFile(folder + "/Zażółć.xlsx"), "rows");
  SaveText(folder + "/Zażółć.xlsx", "more rows");
  EXPECT_EQ(ReadFile(folder + "/Zażółć.xlsx"), "more rows");
  EXPECT_EQ(FileNames(files::NativePath(folder)).size(), 2u);
}

}  // namespace
}  // namespace zelvor::workbook
