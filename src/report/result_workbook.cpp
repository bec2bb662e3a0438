#include "report/result_workbook.h"

#include "report/details_columns.h"
#include "workbook/cell_text.h"
#include "workbook/errors.h"

namespace zelvor::report {
namespace {

constexpr std::string_view kProgramId = "Excel.Application";
constexpr int kDetColumnsFitted = 31;
constexpr int kHdrColumnsFitted = 61;

template <typename T>
T& Use(T* handle, const char* what) {
  if (handle == nullptr)
    throw workbook::EWorkbookError(std::string("The result workbook has no ") + what);
  return *handle;
}

workbook::Application& App(ResultWorkbook& r) {
  return Use(r.ExAppHDR.get(), "spreadsheet instance");
}

const std::string& LastLine(const StringList& list) {
  static const std::string kEmpty;
  return list.empty() ? kEmpty : list.back();
}

void FitAndSelect(workbook::Sheet& sheet, int columns) {
  sheet.Select();
  for (int column = 1; column <= columns; ++column) sheet.AutofitColumn(column);
  sheet.SelectCell(1, 1);
}

}  // namespace

void CreateResultWorkbook(workbook::ApplicationFactory& factory, ResultWorkbook& result) {
  result.Clear();
  result.ExAppHDR = factory.Start(kProgramId);
  workbook::Application& app = App(result);
  app.SetVisible(false);
  app.SetDisplayAlerts(false);
  result.ExWorHDR = &app.AddWorkbook();
  workbook::Workbook& book = *result.ExWorHDR;
  result.ExSheetHDR = &book.Worksheet(1);
  book.Worksheet(1).Rename("HDR");
  book.AddWorksheetAfterLast();
  book.Worksheet(book.WorksheetCount()).Rename("DET");
  result.ExSheetHDR_2 = &book.Worksheet(2);
}

std::string TakeField(std::string& line, std::string_view separator) {
  const auto at = separator.empty() ? std::string::npos : line.find(separator);
  if (at == std::string::npos) {
    std::string field(TrimBlanks(line));
    line.clear();
    return field;
  }
  const std::size_t taken = at + separator.size();
  std::string field = line.substr(0, taken);
  for (auto p = field.find(separator); p != std::string::npos; p = field.find(separator)) {
    field.erase(p, separator.size());
  }
  line.erase(0, taken);
  // Trimmed once the separator is gone, so that blanks before it go too.
  return std::string(TrimBlanks(field));
}

void PutRowLine(workbook::Sheet* sheet, int row, std::string line) {
  int column = 0;
  while (!TrimBlanks(line).empty()) {
    ++column;
    const std::string field = TakeField(line, ";");
    Use(sheet, "sheet to write to").SetCell(row, column, field);
  }
}

void WriteSummaryHeader(RowLines& rows, ResultWorkbook& result, int& longestHeader) {
  const std::string& header = LastLine(rows.slHeader);
  const auto length = static_cast<int>(workbook::Utf8Length(header));
  if (length > longestHeader) {
    longestHeader = length;
    PutRowLine(result.ExSheetHDR, 1, header);
  }
  rows.slHeader.clear();
}

void WriteSummaryValues(RowLines& rows, ResultWorkbook& result, int& summaryRow) {
  ++summaryRow;
  PutRowLine(result.ExSheetHDR, summaryRow, LastLine(rows.slValue));
}

void WriteSummaryRow(RowLines& rows, ResultWorkbook& result, int& longestHeader, int& summaryRow) {
  WriteSummaryHeader(rows, result, longestHeader);
  WriteSummaryValues(rows, result, summaryRow);
}

void WriteDetailHeader(RowLines& rows, ResultWorkbook& result, int& detailRow) {
  if (detailRow != 1) return;
  const std::string& header = LastLine(rows.slHeaderDet);
  if (TrimBlanks(header).empty()) return;
  PutRowLine(result.ExSheetHDR_2, 1, header);
  detailRow = 2;
}

void WriteDetailValues(RowLines& rows, ResultWorkbook& result, int& detailRow) {
  PutRowLine(result.ExSheetHDR_2, detailRow, LastLine(rows.slValueDet));
  ++detailRow;
}

void WriteDetailRow(RowLines& rows, ResultWorkbook& result, int& detailRow) {
  WriteDetailHeader(rows, result, detailRow);
  WriteDetailValues(rows, result, detailRow);
}

void WriteExtractRows(RowLines& rows, ResultWorkbook& result,
                      const reg::PrzedsiebiorcaSzczegoloweDaneWyszukaneTyp& details,
                      const std::string& hitNip, int& detailRow,
                      const DetailStepFailure& onFailure) {
  if (!details.ListaWypisowZLicencjiTyp_Specified()) return;
  for (const auto& extract : details.ListaWypisowZLicencjiTyp()) {
    if (!extract) continue;
    AddExtractColumns(rows, *extract, hitNip);
    if (!onFailure) {
      WriteDetailRow(rows, result, detailRow);
      continue;
    }
    try {
      WriteDetailHeader(rows, result, detailRow);
    } catch (const std::exception& e) {
      onFailure(DetailStep::Header, e);
      continue;
    }
    try {
      WriteDetailValues(rows, result, detailRow);
    } catch (const std::exception& e) {
      onFailure(DetailStep::Values, e);
    }
  }
}

void SaveAndCloseResultWorkbook(ResultWorkbook& result, const std::string& path) {
  workbook::Workbook& book = Use(result.ExWorHDR, "workbook");
  book.SaveAs(path);
  // The last save is on disk, or has failed, before the workbook is closed and its handle goes.
  book.WaitForSaves();
  workbook::Application& app = App(result);
  app.CloseWorkbooks();
  app.SetDisplayAlerts(true);
  app.Quit();
  result.Clear();
}

void FinishResultWorkbook(ResultWorkbook& result, const std::string& ExcelFileNameOut) {
  FitAndSelect(Use(result.ExSheetHDR_2, "sheet DET"), kDetColumnsFitted);
  FitAndSelect(Use(result.ExSheetHDR, "sheet HDR"), kHdrColumnsFitted);
  SaveAndCloseResultWorkbook(result, ExcelFileNameOut);
}

}  // namespace zelvor::report
