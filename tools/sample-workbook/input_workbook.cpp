#include "sample-workbook/input_workbook.h"

#include "workbook/spreadsheet.h"

namespace zelvor::sample {

void WriteInputWorkbook(const std::string& path, const std::vector<std::string>& numbers) {
  const auto app = workbook::MakeXlsxFactory()->Start(workbook::kXlsxComponent);
  workbook::Workbook& book = app->AddWorkbook();
  workbook::Sheet& sheet = book.Worksheet(1);
  sheet.SetCell(1, 1, "NIP");
  int row = 2;
  for (const std::string& number : numbers) sheet.SetCell(row++, 1, number);
  book.SaveAs(path);
  app->Quit();
}

}  // namespace zelvor::sample
