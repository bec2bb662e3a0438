#pragma once
// What a job may ask of the program it runs in. The Qt window, the headless runner and the
// tests each implement it, so the jobs never touch a widget, a dialog or the desktop.

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zelvor::jobs {

// The actions that run long enough to need a busy sign; each has its own button.
enum class Action {
  PeriodJob,     // btnPobierzDaneDzienne, with the busy labels lbPobieranie and lbPobieranieData
  NipListJob,    // btnExcel_wyprwadz
  LookupTest,    // btnDzialaj
  WorkbookTest,  // Button1
};

// The two stop boxes the jobs read between records.
enum class StopBox {
  NipList,  // chbStop on the "Plik Excela" tab
  Period,   // chbStop1 on the "Dane za okres" tab
};

// Status bar panels, numbered from 0 as on screen.
inline constexpr int kSpreadsheetPanel = 1;  // messages of the input spreadsheet instance
inline constexpr int kProgressPanel = 2;     // "row/count" of the tax number list job

// How far a batch job has got.
struct JobProgress {
  Action action = Action::NipListJob;
  std::int64_t done = 0;                // records (the list job) or days (the period job) finished
  std::int64_t total = 0;               // of how many; the list job's header row is not one
  std::int64_t enterprisesWritten = 0;  // the period job's rows of enterprises so far
  bool operator==(const JobProgress&) const = default;
};

class JobHost {
 public:
  virtual ~JobHost() = default;

  // The log of the period job (mLog1): one line appended at the end.
  virtual void Log(const std::string& line) = 0;
  virtual void ClearLog() = 0;

  // The output list (mOutput).
  virtual void AddOutputLine(const std::string& line) = 0;
  virtual void ClearOutput() = 0;

  // Sets one status bar panel and repaints the bar at once.
  virtual void SetStatusPanel(int panel, const std::string& text) = 0;

  // The text of the day-in-progress label (lbPobieranieData), repainted at once.
  virtual void SetProgressLabel(const std::string& text) = 0;

  // Told when a batch job starts and after each record or day it finishes, and as the period
  // job writes enterprises.
  virtual void ShowProgress(const JobProgress& progress) = 0;

  // Enables or disables an action's button; its busy labels show exactly while it is disabled.
  virtual void SetActionRunning(Action action, bool running) = 0;

  // Shows the wait cursor, or puts back the cursor shown before it.
  virtual void SetWaitCursor(bool waiting) = 0;

  // Lets the program handle what the user did meanwhile (stop boxes, repaint, closing).
  virtual void ProcessPendingEvents() = 0;

  virtual bool StopRequested(StopBox box) const = 0;
  virtual void SetStopBox(StopBox box, bool ticked) = 0;

  // The first and last day of the period job (dpOdDaty, dpDoDaty), read anew at each call.
  virtual std::chrono::year_month_day PeriodFirstDay() const = 0;
  virtual std::chrono::year_month_day PeriodLastDay() const = 0;

  // The lines of the lookup test's input box (mNIP), in order.
  virtual std::vector<std::string> LookupTestLines() const = 0;

  // Asks for an existing file to open; nothing when the user cancels.
  virtual std::optional<std::string> PickFileToOpen() = 0;

  // Offers the given full path for saving; the path the user confirmed, nothing when cancelled.
  virtual std::optional<std::string> ConfirmFileToSave(const std::string& proposedPath) = 0;

  // A question with the answers Yes and No; true for Yes.
  virtual bool AskYesNo(const std::string& question) = 0;

  // A plain message with an OK button.
  virtual void ShowMessage(const std::string& text) = 0;

  // An error's message, shown the way the program shows every error that ends an action.
  virtual void ShowError(const std::string& message) = 0;

  // A run that went to its end but some of whose records or days failed: `report` gives the
  // summary and the first error. A warning while others succeeded, an error when none did.
  virtual void ShowRunFailures(const std::string& report, bool noneSucceeded) = 0;

  // Opens a file with the application the desktop associates with its type.
  virtual void OpenWithApplication(const std::string& path) = 0;

  // The user's documents folder without a trailing separator; empty when there is none.
  virtual std::string DocumentsFolder() const = 0;

  // The folder of the program itself, without a trailing separator.
  virtual std::string ProgramFolder() const = 0;

  // The local date and time now.
  virtual std::chrono::local_seconds Now() const = 0;

  // A day written in the user's short date format.
  virtual std::string ShortDate(std::chrono::year_month_day day) const = 0;
};

}  // namespace zelvor::jobs
