// A workbook another program holds open, as a spreadsheet application does with the file it
// shows, is refused before anything is done, with a Polish sentence that names it and says to
// close it; once closed, it is saved as usual.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>

#include "support/scratch_folder.h"
#include "support/workbook_test_support.h"
#include "workbook/atomic_save.h"
#include "workbook/errors.h"
#include "workbook/file_system.h"

namespace zelvor::workbook {
namespace {

using testing::HasSubstr;

TEST(HeldOpen, AWorkbookLockedByAnotherProgramIsRefusedByName) {
  test::ScratchFolder folder;
  const std::string input = folder.File("Klienci – Łódź.xlsx");
  test::WriteFile(input, "a workbook");
  // Shared for reading only, as a spreadsheet application opens the workbook it shows.
  HANDLE held =
      ::CreateFileW(files::NativePath(input).c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  for (const auto& attempt : {+[](const std::string& path) { CheckCanSave(path); },
                              +[](const std::string& path) { test::SaveText(path, "rows"); }}) {
    try {
      attempt(input);
      ADD_FAILURE() << "a held workbook was not refused";
    } catch (const EWorkbookError& e) {
      EXPECT_THAT(e.what(), HasSubstr("Plik „Klienci – Łódź.xlsx” jest otwarty w innym programie"));
      EXPECT_THAT(e.what(), HasSubstr("Zamknij go"));
    }
  }
  ::CloseHandle(held);
  EXPECT_EQ(test::ReadFile(input), "a workbook");
  EXPECT_NO_THROW(test::SaveText(input, "rows"));
  EXPECT_EQ(test::ReadFile(input), "rows");
}

}  // namespace
}  // namespace zelvor::workbook
