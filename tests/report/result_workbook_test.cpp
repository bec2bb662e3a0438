#include "report/result_workbook.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/failing_factory.h"
#include "support/scratch_folder.h"
#include "support/workbook_test_support.h"
#include "workbook/errors.h"

namespace zelvor::report {
namespace {

using reg::PrzedsiebiorcaSzczegoloweDaneWyszukaneTyp;
using reg::WypisZLicencjiTyp;
using workbook::ApplicationFactory;
using workbook::EWorkbookError;
using workbook::MakeXlsxFactory;
using workbook::Sheet;
using zelvor::test::FailingFactory;
using zelvor::test::InjectedFailureMessage;
using zelvor::test::Operation;
using zelvor::test::OperationCall;

class ResultWorkbookTest : public ::testing::Test {
 protected:
  void SetUp() override { CreateResultWorkbook(*factory_, result_); }

  // Every written cell of a sheet as "row,column=text".
  std::vector<std::string> Written(Sheet* sheet) {
    std::vector<std::string> out;
    for (int row = 1; row <= sheet->UsedRangeRowCount(); ++row) {
      for (int column = 1; column <= 40; ++column) {
        const std::string text = sheet->GetCell(row, column);
        if (!text.empty())
          out.push_back(std::to_string(row) + "," + std::to_string(column) + "=" + text);
      }
    }
    return out;
  }

  std::unique_ptr<ApplicationFactory> factory_ = MakeXlsxFactory();
  ResultWorkbook result_;
  PendingRows rows_;
  zelvor::test::ScratchFolder dir_;
};

TEST_F(ResultWorkbookTest, ARowFillsConsecutiveCellsEmptyValuesIncluded) {
  using std::chrono::sys_days;
  using namespace std::chrono_literals;
  const std::string a = "a", b = "b", none;
  const struct {
    const char* what;
    std::vector<CellValue> values;
    std::vector<std::string> cells;
  } cases[] = {
      {"empty in the middle", {a, none, b}, {"a", "", "b"}},
      {"empty at the end", {a, CellValue{}}, {"a", ""}},
      {"no values", {}, {}},
      {"outer blanks and separators", {std::string(" x  y "), std::string(" z;\n")}, {"x  y", "z"}},
      {"an integer and a date",
       {std::int32_t{-1}, sys_days{2024y / 3 / 5} + 23h},
       {"-1", "2024-03-05"}},
  };
  int row = 1;
  for (const auto& c : cases) {
    Sheet* sheet = result_.summarySheet;
    // Mark one cell past the row so that a written empty cell shows as a change.
    for (int column = 1; column <= 4; ++column) sheet->SetCell(row, column, "old");
    RowFields fields;
    for (const CellValue& value : c.values) fields.push_back({"Nazwa", value});
    PutValueCells(sheet, row, fields);
    for (int column = 1; column <= 4; ++column) {
      const bool written = column <= static_cast<int>(c.cells.size());
      EXPECT_EQ(sheet->GetCell(row, column), written ? c.cells[column - 1] : "old")
          << c.what << ", column " << column;
    }
    ++row;
  }
}

TEST_F(ResultWorkbookTest, TheSummaryHeaderIsRewrittenOnlyByALongerHeader) {
  const auto header = [](std::size_t length, char fill) {
    return std::string(length - 1, fill) + ";";
  };
  int longest = 0;
  int summaryRow = 1;
  const struct {
    std::string header;
    bool rewrites;
  } steps[] = {{header(18, 'a'), true},
               {header(12, 'b'), false},
               {std::string(10, 'd') + "żżżżż;", false},  // 16 characters in 21 bytes
               {header(400, 'c'), true}};
  for (const auto& step : steps) {
    rows_.summaryRow = {
        {step.header.substr(0, step.header.size() - 1), "v" + std::to_string(summaryRow)}};
    WriteSummaryRow(rows_, result_, longest, summaryRow);
    EXPECT_EQ(result_.summarySheet->GetCell(1, 1)[0], step.rewrites ? step.header[0] : 'a');
  }
  EXPECT_EQ(longest, 400);
  EXPECT_EQ(summaryRow, 5);
  EXPECT_EQ(result_.summarySheet->GetCell(5, 1), "v4");
}

TEST_F(ResultWorkbookTest, DetailRowsAreNumberedFromTheFirstDetailRow) {
  PrzedsiebiorcaSzczegoloweDaneWyszukaneTyp details;
  reg::ListaWypisowZLicencjiTyp extracts;
  for (const char* number : {"W1", "W2", "W3"}) {
    auto extract = std::make_unique<WypisZLicencjiTyp>();
    extract->NumerWypisu = number;
    extracts.push_back(std::move(extract));
  }
  details.SetListaWypisowZLicencjiTyp(std::move(extracts));
  int detailRow = 1;
  WriteExtractRows(rows_, result_, details, "5260250995", detailRow);
  WriteExtractRows(rows_, result_, PrzedsiebiorcaSzczegoloweDaneWyszukaneTyp{}, "1", detailRow);
  EXPECT_EQ(detailRow, 5);
  Sheet* det = result_.detailsSheet;
  EXPECT_EQ(det->GetCell(1, 1), "NIP");
  EXPECT_EQ(det->GetCell(1, 2), "ListaWypisowZLicencjiNumerWypisu");
  for (int row = 2; row <= 4; ++row) {
    EXPECT_EQ(det->GetCell(row, 1), "5260250995");
    EXPECT_EQ(det->GetCell(row, 2), "W" + std::to_string(row - 1));
    EXPECT_EQ(det->GetCell(row, 4), "Aktualny");
  }
  EXPECT_EQ(det->UsedRangeRowCount(), 4);
}

TEST_F(ResultWorkbookTest, FinishingSavesHdrThenDetWithTheRowsWritten) {
  int longest = 0;
  int summaryRow = 1;
  AddHdrValue(rows_, "LP", std::int32_t{1}, true);
  AddHdrValue(rows_, "NIP", std::string("5260250995"), false);
  AddHdrValue(rows_, "Data", std::string("2024-03-15"), false);
  WriteSummaryRow(rows_, result_, longest, summaryRow);
  const std::string path = dir_.File("Wynik_Hdr_2024_03_15_10_00_00.xlsx");
  FinishResultWorkbook(result_, path);
  EXPECT_EQ(result_.application, nullptr);
  EXPECT_EQ(result_.summarySheet, nullptr);

  auto app = MakeXlsxFactory()->Start(workbook::kXlsxComponent);
  Sheet& hdr = app->OpenWorkbook(path).Worksheet(1);
  EXPECT_EQ(hdr.Name(), "HDR");
  EXPECT_EQ(app->Workbooks(1).WorksheetCount(), 2);
  EXPECT_EQ(Written(&hdr), (std::vector<std::string>{"1,1=LP", "1,2=NIP", "1,3=Data", "2,1=1",
                                                     "2,2=5260250995", "2,3=2024-03-15"}));
  const std::string workbookXml = zelvor::test::ReadParts(path).at("xl/workbook.xml");
  EXPECT_LT(workbookXml.find("name=\"HDR\""), workbookXml.find("name=\"DET\""));
}

TEST_F(ResultWorkbookTest, AFinalSaveOverTheInterimFileFailsBeforeTheWorkbookIsClosed) {
  const std::string path = dir_.File("Wynik_Hdr.xlsx");
  result_.workbook->SaveAs(path);  // the interim save of a long run
  std::filesystem::remove(path);
  std::filesystem::create_directory(path);  // the file's place is taken

  EXPECT_THROW(SaveAndCloseResultWorkbook(result_, path), EWorkbookError);
  // Still open, so the failure path can keep what was written elsewhere.
  ASSERT_NE(result_.workbook, nullptr);
  const std::string elsewhere = dir_.File("Wynik_Hdr_kopia.xlsx");
  SaveAndCloseResultWorkbook(result_, elsewhere);
  EXPECT_EQ(result_.application, nullptr);
  EXPECT_TRUE(std::filesystem::is_regular_file(elsewhere));
}

TEST(ResultWorkbookFailures, EachStepReportsAFailedOperationToItsCaller) {
  const struct {
    const char* what;
    FailingFactory::Rule rule;
  } cases[] = {
      {"start", FailingFactory::FailFrom(Operation::Start)},
      {"add workbook", FailingFactory::FailFrom(Operation::AddWorkbook)},
      {"add worksheet", FailingFactory::FailFrom(Operation::AddWorksheet)},
      {"rename", FailingFactory::FailOnce(Operation::Rename, 2)},
  };
  for (const auto& c : cases) {
    FailingFactory factory(c.rule);
    ResultWorkbook result;
    EXPECT_THROW(CreateResultWorkbook(factory, result), EWorkbookError) << c.what;
  }
  ResultWorkbook none;
  PendingRows rows;
  AddHdrValue(rows, "A", std::string("a"), true);
  int longest = 0;
  int summaryRow = 1;
  EXPECT_THROW(WriteSummaryRow(rows, none, longest, summaryRow), EWorkbookError);
  EXPECT_THROW(FinishResultWorkbook(none, "x.xlsx"), EWorkbookError);
  PutValueCells(nullptr, 1, {});  // no cell to write, so the missing sheet is never used
}

TEST(ResultWorkbookFailures, TheTwoStepsOfADetailRowCanBeGuardedApart) {
  // DET row 1 (the header) fails for the first extract; the value of the third extract fails.
  FailingFactory factory([](const OperationCall& call) {
    return call.operation == Operation::SetCell && call.sheet == "DET" &&
           ((call.row == 1 && call.count == 1) || call.text == "W3");
  });
  ResultWorkbook result;
  CreateResultWorkbook(factory, result);
  PrzedsiebiorcaSzczegoloweDaneWyszukaneTyp details;
  reg::ListaWypisowZLicencjiTyp extracts;
  for (const char* number : {"W1", "W2", "W3", "W4"}) {
    auto extract = std::make_unique<WypisZLicencjiTyp>();
    extract->NumerWypisu = number;
    extracts.push_back(std::move(extract));
  }
  details.SetListaWypisowZLicencjiTyp(std::move(extracts));
  PendingRows rows;
  int detailRow = 1;
  std::vector<std::string> failures;
  WriteExtractRows(rows, result, details, "5260250995", detailRow,
                   [&](DetailStep step, const std::exception& e) {
                     failures.push_back((step == DetailStep::Header ? "header: " : "values: ") +
                                        std::string(e.what()));
                   });
  const std::string message = InjectedFailureMessage(Operation::SetCell);
  EXPECT_EQ(failures, (std::vector<std::string>{"header: " + message, "values: " + message}));
  Sheet* det = result.detailsSheet;
  EXPECT_EQ(det->GetCell(1, 1), "NIP");  // written again with the second extract
  EXPECT_EQ(det->GetCell(2, 2), "W2");
  EXPECT_EQ(det->GetCell(3, 2), "W4");  // W3 failed, so the counter stayed on row 3
  EXPECT_EQ(detailRow, 4);

  // Unguarded, the first failure ends the call.
  FailingFactory failing(FailingFactory::FailFrom(Operation::SetCell));
  CreateResultWorkbook(failing, result);
  detailRow = 1;
  EXPECT_THROW(WriteExtractRows(rows, result, details, "1", detailRow), EWorkbookError);
}

}  // namespace
}  // namespace zelvor::report
