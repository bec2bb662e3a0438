// New workbooks: kept in memory, saved as .xlsx, read back by our own reader.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <regex>

#include "support/scratch_folder.h"
#include "support/workbook_test_support.h"
#include "workbook/errors.h"
#include "workbook/spreadsheet.h"

namespace zelvor::workbook {
namespace {

using test::ReadParts;
using zelvor::test::ScratchFolder;

class NewWorkbookTest : public ::testing::Test {
 protected:
  std::unique_ptr<Application> app_ = MakeXlsxFactory()->Start(kXlsxComponent);
  ScratchFolder dir_;
};

// The <c> element of a cell in a sheet part.
std::string CellXml(const std::string& sheetXml, const std::string& ref) {
  std::smatch m;
  const std::regex re("<c r=\"" + ref + "\"[^>]*>.*?</c>");
  return std::regex_search(sheetXml, m, re) ? m.str() : std::string{};
}

TEST_F(NewWorkbookTest, SavedTextsReadBackAsSetAndAreTypedAsTheSpreadsheetWould) {
  Workbook& book = app_->AddWorkbook();
  Sheet& sheet = book.Worksheet(1);
  const std::vector<std::string> texts = {
      "5260250995",      "0001234567",      "2024-03-15", "-1",   "1000000000000000",
      "Ważność wygasła", " inner  blanks ", "a_x0041_b",  "TRUE", "3.25"};
  for (std::size_t i = 0; i < texts.size(); ++i) {
    sheet.SetCell(2, static_cast<int>(i) + 1, texts[i]);
  }
  const std::string path = dir_.File("round.xlsx");
  book.SaveAs(path);

  Workbook& back = app_->OpenWorkbook(path);
  for (std::size_t i = 0; i < texts.size(); ++i) {
    EXPECT_EQ(back.Worksheet(1).GetCell(2, static_cast<int>(i) + 1), texts[i]) << texts[i];
  }
  EXPECT_EQ(back.Worksheet(1).UsedRangeRowCount(), 2);

  const std::string xml = ReadParts(path).at("xl/worksheets/sheet1.xml");
  EXPECT_EQ(CellXml(xml, "A2"), "<c r=\"A2\"><v>5260250995</v></c>");
  EXPECT_NE(CellXml(xml, "B2").find("inlineStr"), std::string::npos);  // leading zeros: text
  EXPECT_NE(CellXml(xml, "C2").find("<v>45366</v>"), std::string::npos);
  EXPECT_NE(CellXml(xml, "C2").find(" s=\""), std::string::npos);  // with the date format
  EXPECT_NE(CellXml(xml, "E2").find("inlineStr"), std::string::npos);
  EXPECT_NE(ReadParts(path).at("xl/styles.xml").find("yyyy-mm-dd"), std::string::npos);
}

TEST_F(NewWorkbookTest, SheetsAreWrittenInOrderWithFittedColumnsAndSelection) {
  Workbook& book = app_->AddWorkbook();
  book.Worksheet(1).Rename("HDR");
  book.AddWorksheetAfterLast();
  book.Worksheet(book.WorksheetCount()).Rename("DET");
  Sheet& hdr = book.Worksheet(1);
  hdr.SetCell(1, 1, "LP");
  hdr.SetCell(2, 1, "1");
  hdr.SetCell(1, 2, "FirmaNazwa");
  hdr.SetCell(2, 2, "Przedsiębiorstwo Transportowe Żółw");  // 34 characters
  hdr.AutofitColumn(1);
  hdr.AutofitColumn(2);
  hdr.AutofitColumn(3);  // empty: keeps the default width
  hdr.Select();
  hdr.SelectCell(1, 1);
  const std::string path = dir_.File("sheets.xlsx");
  book.SaveAs(path);

  const auto parts = ReadParts(path);
  const std::string& workbookXml = parts.at("xl/workbook.xml");
  ASSERT_NE(workbookXml.find("name=\"HDR\""), std::string::npos);
  EXPECT_LT(workbookXml.find("name=\"HDR\""), workbookXml.find("name=\"DET\""));
  const std::string& sheet1 = parts.at("xl/worksheets/sheet1.xml");
  // Widths in characters: the longest text plus a margin, stored with the padding of a cell.
  const auto width = [&](int column) {
    std::smatch m;
    const std::string c = std::to_string(column);
    const std::regex re("<col min=\"" + c + "\" max=\"" + c + "\" width=\"([0-9.]+)\"");
    return std::regex_search(sheet1, m, re) ? std::stod(m[1]) : 0.0;
  };
  EXPECT_GE(width(1), 3.5);
  EXPECT_LE(width(1), 5.0);
  EXPECT_GE(width(2), 35.5);  // the 34 characters of the longest text, not its 40 bytes
  EXPECT_LE(width(2), 37.0);
  EXPECT_EQ(width(3), 0.0);
  EXPECT_NE(sheet1.find("tabSelected=\"1\""), std::string::npos);
}

TEST_F(NewWorkbookTest, SaveAsReplacesAnExistingFileAndLaterSavesGoThere) {
  const std::string path = dir_.File("out.xlsx");
  test::WriteFile(path, "an older file");
  Workbook& book = app_->AddWorkbook();
  book.Worksheet(1).SetCell(1, 1, "first");
  book.SaveAs(path);
  book.Worksheet(1).SetCell(1, 1, "second");
  book.Save();
  EXPECT_EQ(app_->OpenWorkbook(path).Worksheet(1).GetCell(1, 1), "second");
  // Nothing is left beside the file.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.Path()),
                          std::filesystem::directory_iterator()),
            1);
}

TEST_F(NewWorkbookTest, ASaveOverTheSameFileThatFailsInTheBackgroundIsRaisedLater) {
  const std::string path = dir_.File("book.xlsx");
  Workbook& book = app_->AddWorkbook();
  book.SaveAs(path);
  // A folder in the file's place: the next write cannot be put there.
  std::filesystem::remove(path);
  std::filesystem::create_directory(path);

  // Each way a later call meets the failure; closing comes last, as it ends the workbook.
  for (const auto& finish : std::vector<std::function<void()>>{
           [&] { book.WaitForSaves(); }, [&] { book.Save(); }, [&] { app_->CloseWorkbooks(); }}) {
    book.Worksheet(1).SetCell(1, 1, "later");
    ASSERT_NO_THROW(book.Save());
    try {
      finish();
      ADD_FAILURE() << "the failed save was not raised";
    } catch (const EWorkbookError& e) {
      EXPECT_NE(std::string(e.what()).find("Cannot save workbook \"" + path + "\""),
                std::string::npos)
          << e.what();
    }
  }
}

TEST_F(NewWorkbookTest, SavingIntoAMissingFolderNamesThePath) {
  Workbook& book = app_->AddWorkbook();
  const std::string path = dir_.File("missing/out.xlsx");
  try {
    book.SaveAs(path);
    FAIL() << "saved into a missing folder";
  } catch (const EWorkbookError& e) {
    EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
  }
  EXPECT_THROW(app_->AddWorkbook().Save(), EWorkbookError);  // never saved: no file yet
}

TEST_F(NewWorkbookTest, OperationsRefuseWhatASpreadsheetCannotHold) {
  Workbook& book = app_->AddWorkbook();
  Sheet& sheet = book.Worksheet(1);
  EXPECT_THROW(sheet.SetCell(0, 1, "x"), EWorkbookError);
  EXPECT_THROW(sheet.SetCell(1, 16385, "x"), EWorkbookError);
  EXPECT_THROW(sheet.SetCell(1, std::string_view("A1"), "x"), EWorkbookError);
  EXPECT_THROW(sheet.SetCell(1, 1, std::string(32768, 'x')), EWorkbookError);
  EXPECT_THROW(book.Worksheet(2), EWorkbookError);
  book.AddWorksheetAfterLast();
  EXPECT_THROW(book.Worksheet(2).Rename("sheet1"), EWorkbookError);  // names ignore case
  EXPECT_THROW(sheet.Rename("a/b"), EWorkbookError);
  EXPECT_THROW(sheet.Rename(std::string(32, 'x')), EWorkbookError);
  EXPECT_THROW(MakeXlsxFactory()->Start("ods"), EWorkbookError);
  app_->Quit();
  EXPECT_THROW(app_->AddWorkbook(), EWorkbookError);
}

TEST_F(NewWorkbookTest, ColumnsByLetterAndEmptiedCellsAsTheUsedRangeSeesThem) {
  Sheet& sheet = app_->AddWorkbook().Worksheet(1);
  sheet.SetCell(3, "B", "x");
  EXPECT_EQ(sheet.GetCell(3, 2), "x");
  EXPECT_EQ(sheet.GetCell(3, "b"), "x");
  EXPECT_EQ(sheet.GetCell(9, 9), "");
  EXPECT_EQ(sheet.UsedRangeRowCount(), 3);
  sheet.SetCell(3, 2, "");
  EXPECT_EQ(sheet.UsedRangeRowCount(), 0);
}

}  // namespace
}  // namespace zelvor::workbook
