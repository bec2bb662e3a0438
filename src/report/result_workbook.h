#pragma once
// Writing the result workbook: sheet HDR holds one summary row per record under its column
// names, sheet DET one row per certified copy of a Community licence.

#include <functional>
#include <memory>
#include <string>

#include "register/records.h"
#include "report/pending_rows.h"
#include "workbook/spreadsheet.h"

namespace zelvor::report {

// The output instance and its handles; a null handle makes the next operation on it fail.
struct ResultWorkbook {
  std::unique_ptr<workbook::Application> application;
  workbook::Workbook* workbook = nullptr;
  workbook::Sheet* summarySheet = nullptr;
  workbook::Sheet* detailsSheet = nullptr;

  void Clear() {
    summarySheet = nullptr;
    detailsSheet = nullptr;
    workbook = nullptr;
    application.reset();
  }
};

// Starts the output instance and builds the empty workbook with sheets HDR and DET.
void CreateResultWorkbook(workbook::ApplicationFactory& factory, ResultWorkbook& result);

// Writes the row's values into consecutive cells of the sheet row, from column 1, through the
// sheet's typing of a cell text; an empty value writes an empty cell.
void PutValueCells(workbook::Sheet* sheet, int row, const RowFields& fields);

// The two steps of writing the pending summary row. The header step rewrites row 1 with the
// row's names only when its header line is longer than every earlier one; the value step writes
// the values into the next row.
void WriteSummaryHeader(const PendingRows& rows, ResultWorkbook& result, int& longestHeader);
void WriteSummaryValues(const PendingRows& rows, ResultWorkbook& result, int& summaryRow);
void WriteSummaryRow(const PendingRows& rows, ResultWorkbook& result, int& longestHeader,
                     int& summaryRow);

// The two steps of writing the pending detail row. While detailRow is 1 the header step writes
// the names of the run's first detail row into row 1; the value step writes the pending row's
// values into detailRow.
void WriteDetailHeader(const PendingRows& rows, ResultWorkbook& result, int& detailRow);
void WriteDetailValues(const PendingRows& rows, ResultWorkbook& result, int& detailRow);
void WriteDetailRow(const PendingRows& rows, ResultWorkbook& result, int& detailRow);

enum class DetailStep { Header, Values };
// Told of a failed step of one detail row; that row is then left and the next one follows.
using DetailStepFailure = std::function<void(DetailStep step, const std::exception& error)>;

// One DET row per certified copy of a Community licence in the details, in list order. Without
// onFailure a failed step ends the call with its error.
void WriteExtractRows(PendingRows& rows, ResultWorkbook& result,
                      const reg::PrzedsiebiorcaSzczegoloweDaneWyszukaneTyp& details,
                      const std::string& hitNip, int& detailRow,
                      const DetailStepFailure& onFailure = {});

// Saves the workbook as `path` in its current state, closes and quits the output instance and
// clears the handles.
void SaveAndCloseResultWorkbook(ResultWorkbook& result, const std::string& path);
// Fits the columns of DET and HDR, selects their first cells, then saves and closes.
void FinishResultWorkbook(ResultWorkbook& result, const std::string& path);

}  // namespace zelvor::report
