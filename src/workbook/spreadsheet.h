#pragma once
// The spreadsheet operations the jobs drive: an application instance holds workbooks, a workbook
// holds sheets. Rows and columns count from 1. Every failure raises EWorkbookError.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace zelvor::workbook {

class Sheet {
 public:
  virtual ~Sheet() = default;

  virtual std::string Name() const = 0;
  virtual void Rename(std::string_view name) = 0;
  // The value as text; an empty cell gives "".
  virtual std::string GetCell(int row, int column) = 0;
  std::string GetCell(int row, std::string_view columnLetters);
  // Numbers and dates are recognised in the text, everything else stays text.
  virtual void SetCell(int row, int column, std::string_view text) = 0;
  void SetCell(int row, std::string_view columnLetters, std::string_view text);
  // The last row that holds a value: rows above the first used one count too.
  virtual std::int64_t UsedRangeRowCount() = 0;
  virtual void Select() = 0;
  virtual void SelectCell(int row, int column) = 0;
  virtual void AutofitColumn(int column) = 0;
};

class Workbook {
 public:
  virtual ~Workbook() = default;

  virtual int WorksheetCount() = 0;
  // Index from 1.
  virtual Sheet& Worksheet(int index) = 0;
  // One new sheet placed after the last one.
  virtual Sheet& AddWorksheetAfterLast() = 0;
  // Writes the workbook to the path, replacing an existing file; later saves go there. A save
  // over the file this workbook saved last may finish in the background, so that a long job
  // does not wait for it: the next save, WaitForSaves, CloseWorkbooks and Quit wait for it and
  // raise its failure.
  virtual void SaveAs(const std::string& path) = 0;
  // Writes the workbook in place.
  virtual void Save() = 0;
  // Returns once every save made so far is on disk; raises the failure of one that failed.
  virtual void WaitForSaves() = 0;
};

class Application {
 public:
  virtual ~Application() = default;

  // A new workbook with one sheet.
  virtual Workbook& AddWorkbook() = 0;
  // Opens an .xlsx or .xlsm file; it becomes the next workbook of the instance.
  virtual Workbook& OpenWorkbook(const std::string& path) = 0;
  // Index from 1, in the order the workbooks were added or opened.
  virtual Workbook& Workbooks(int index) = 0;
  // Closes every workbook without saving.
  virtual void CloseWorkbooks() = 0;
  virtual void Quit() = 0;
};

// The name our own .xlsx component is started under.
inline constexpr std::string_view kXlsxComponent = "xlsx";

class ApplicationFactory {
 public:
  virtual ~ApplicationFactory() = default;
  // Starts the component of that name; a name the factory does not know raises EWorkbookError.
  virtual std::unique_ptr<Application> Start(std::string_view programId) = 0;
};

// The factory of our own .xlsx component.
std::unique_ptr<ApplicationFactory> MakeXlsxFactory();

}  // namespace zelvor::workbook
