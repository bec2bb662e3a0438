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
  std::unique_ptr<workbook::Application> ExAppHDR;
  workbook::Workbook* ExWorHDR = nullptr;
  workbook::Sheet* ExSheetHDR = nullptr;
  workbook::Sheet* ExSheetHDR_2 = nullptr;

  void Clear() {
    ExSheetHDR = nullptr;
    ExSheetHDR_2 = nullptr;
    ExWorHDR = nullptr;
    ExAppHDR.reset();
  }
};

// Starts the output instance and builds the empty workbook with sheets HDR and DET.
void CreateResultWorkbook(workbook::ApplicationFactory& factory, ResultWorkbook& result);

// Removes the first field, separator included, from the line and returns it trimmed.
std::string TakeField(std::string& line, std::string_view separator);
// Writes the fields of the line into consecutive cells of the row, from column 1.
void PutRowLine(workbook::Sheet* sheet, int row, std::string line);

// The two steps of writing the pending summary row. The header step rewrites row 1 only for a
// header line longer than every earlier one, then empties slHeader; the value step writes the
// value line into the next row.
void WriteSummaryHeader(RowLines& rows, ResultWorkbook& result, int& longestHeader);
void WriteSummaryValues(RowLines& rows, ResultWorkbook& result, int& summaryRow);
void WriteSummaryRow(RowLines& rows, ResultWorkbook& result, int& longestHeader, int& summaryRow);

// The two steps of writing the pending detail row. While detailRow is 1 the header step writes
// the detail header into row 1; the value step writes the pending line into detailRow.
void WriteDetailHeader(RowLines& rows, ResultWorkbook& result, int& detailRow);
void WriteDetailValues(RowLines& rows, ResultWorkbook& result, int& detailRow);
void WriteDetailRow(RowLines& rows, ResultWorkbook& result, int& detailRow);

enum class DetailStep { Header, Values };
// Told of a failed step of one detail row; that row is then left and the next one follows.
using DetailStepFailure = std::function<void(DetailStep step, const std::exception& error)>;

// One DET row per certified copy of a Community licence in the details, in list order. Without
// onFailure a failed step ends the call with its error.
void WriteExtractRows(RowLines& rows, ResultWorkbook& result,
                      const reg::PrzedsiebiorcaSzczegoloweDaneWyszukaneTyp& details,
                      const std::string& hitNip, int& detailRow,
                      const DetailStepFailure& onFailure = {});

// Saves the workbook as `path` in its current state, closes and quits the output instance and
// clears the handles.
void SaveAndCloseResultWorkbook(ResultWorkbook& result, const std::string& path);
// Fits the columns of DET and HDR, selects their first cells, then saves and closes.
void FinishResultWorkbook(ResultWorkbook& result, const std::string& ExcelFileNameOut);

}  // namespace zelvor::report
