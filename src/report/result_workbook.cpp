#include "report/result_workbook.h"

#include "report/details_columns.h"
#include "workbook/cell_text.h"
#include "workbook/errors.h"
#include "workbook/polish_messages.h"

namespace zelvor::report {
namespace {

constexpr int kDetColumnsFitted = 31;
constexpr int kHdrColumnsFitted = 61;

template <typename T>
T& Use(T* handle, const char* what) {
  if (handle == nullptr)
    throw workbook::EWorkbookError(
        workbook::WorkbookFailure(std::string("The result workbook has no ") + what));
  return *handle;
}

workbook::Application& App(ResultWorkbook& r) {
  return Use(r.application.get(), "spreadsheet instance");
}

// One cell per item, from column 1, with the item's text; no items leave the sheet untouched.
template <class Items, class Text>
void PutCells(workbook::Sheet* sheet, int row, const Items& items, Text text) {
  int column = 0;
  for (const auto& item : items) {
    ++column;
    Use(sheet, "sheet to write to").SetCell(row, column, CellText(text(item)));
  }
}

const std::string& NameOf(const Field& field) {
  return field.name;
}

const std::string& Itself(const std::string& name) {
  return name;
}

void FitAndSelect(workbook::Sheet& sheet, int columns) {
  sheet.Select();
  for (int column = 1; column <= columns; ++column) sheet.AutofitColumn(column);
  sheet.SelectCell(1, 1);
}

}  // namespace

void CreateResultWorkbook(workbook::ApplicationFactory& factory, ResultWorkbook& result) {
  result.Clear();
  result.application = factory.Start(workbook::kXlsxComponent);
  workbook::Application& app = App(result);
  result.workbook = &app.AddWorkbook();
  workbook::Workbook& book = *result.workbook;
  result.summarySheet = &book.Worksheet(1);
  book.Worksheet(1).Rename("HDR");
  book.AddWorksheetAfterLast();
  book.Worksheet(book.WorksheetCount()).Rename("DET");
  result.detailsSheet = &book.Worksheet(2);
}

void PutValueCells(workbook::Sheet* sheet, int row, const RowFields& fields) {
  PutCells(sheet, row, fields, [](const Field& field) { return ValueText(field.value); });
}

void WriteSummaryHeader(const PendingRows& rows, ResultWorkbook& result, int& longestHeader) {
  // Counted in characters over the names as one line, each followed by ";".
  const auto length = static_cast<int>(workbook::Utf8Length(HeaderLine(rows.summaryRow)));
  if (length > longestHeader) {
    longestHeader = length;
    PutCells(result.summarySheet, 1, rows.summaryRow, NameOf);
  }
}

void WriteSummaryValues(const PendingRows& rows, ResultWorkbook& result, int& summaryRow) {
  ++summaryRow;
  PutValueCells(result.summarySheet, summaryRow, rows.summaryRow);
}

void WriteSummaryRow(const PendingRows& rows, ResultWorkbook& result, int& longestHeader,
                     int& summaryRow) {
  WriteSummaryHeader(rows, result, longestHeader);
  WriteSummaryValues(rows, result, summaryRow);
}

void WriteDetailHeader(const PendingRows& rows, ResultWorkbook& result, int& detailRow) {
  if (detailRow != 1 || rows.detailHeader.empty()) return;
  PutCells(result.detailsSheet, 1, rows.detailHeader, Itself);
  detailRow = 2;
}

void WriteDetailValues(const PendingRows& rows, ResultWorkbook& result, int& detailRow) {
  PutValueCells(result.detailsSheet, detailRow, rows.detailRow);
  ++detailRow;
}

void WriteDetailRow(const PendingRows& rows, ResultWorkbook& result, int& detailRow) {
  WriteDetailHeader(rows, result, detailRow);
  WriteDetailValues(rows, result, detailRow);
}

void WriteExtractRows(PendingRows& rows, ResultWorkbook& result,
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
  workbook::Workbook& book = Use(result.workbook, "workbook");
  book.SaveAs(path);
  // The last save is on disk, or has failed, before the workbook is closed and its handle goes.
  book.WaitForSaves();
  workbook::Application& app = App(result);
  app.CloseWorkbooks();
  app.Quit();
  result.Clear();
}

void FinishResultWorkbook(ResultWorkbook& result, const std::string& path) {
  FitAndSelect(Use(result.detailsSheet, "sheet DET"), kDetColumnsFitted);
  FitAndSelect(Use(result.summarySheet, "sheet HDR"), kHdrColumnsFitted);
  SaveAndCloseResultWorkbook(result, path);
}

}  // namespace zelvor::report
