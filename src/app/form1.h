#pragma once
// The main window: the controls of its four tabs, the state the jobs share, and the host
// through which the jobs talk to the person using it.

#include <QDateTime>
#include <QMainWindow>
#include <QMessageBox>
#include <QPointer>
#include <array>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "app/action_buttons.h"
#include "app/recent_folder.h"
#include "app/window_calls.h"
#include "jobs/host.h"
#include "jobs/job_context.h"
#include "jobs/progress_rate.h"
#include "jobs/run_state.h"
#include "platform/settings_file.h"
#include "soap/http_transport.h"
#include "workbook/spreadsheet.h"

class QCheckBox;
class QDateEdit;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QScrollArea;
class QPushButton;
class QStatusBar;
class QTabWidget;
class QTextEdit;

namespace zelvor::app {

class TForm1 : public QMainWindow, public jobs::JobHost {
  Q_OBJECT

 public:
  // The local date and time; tests give a fixed one.
  using Clock = std::function<QDateTime()>;

  // certificateStore: the folder of the user's certificate store, empty for the default one;
  // tests give a temporary store. settings: what the user's settings file sets over the build's
  // settings (its store overrides certificateStore).
  explicit TForm1(Clock clock = {}, std::filesystem::path certificateStore = {},
                  const platform::SettingsFile& settings = {}, QWidget* parent = nullptr);
  ~TForm1() override;

  // The state the jobs share, the register transport and its address among it.
  jobs::RunState& State() { return state_; }
  // Points the register and VAT transports, the certificate store and the header at what the
  // settings file sets over the build's settings. Only while no action runs.
  void ApplySettings(const platform::SettingsFile& settings);
  // The build's value of each settings key, as the settings dialog shows it.
  std::map<std::string, std::string> DefaultSettings() const;
  // The header's text for the register at this address.
  static QString HeaderText(const std::string& registerUrl);
  // The spreadsheet component the jobs open and write workbooks with; tests give one that fails.
  void SetSpreadsheetFactory(std::unique_ptr<workbook::ApplicationFactory> factory);

  bool AskYesNo(const std::string& question) override;
  bool VerifyInputsFilled();

  // Starts a job as the handler of its button, on the worker thread with the window's host
  // calls made on the window's thread: the other actions stay disabled meanwhile, and an error
  // that ends it is shown in the error box once the window is restored.
  void RunJob(jobs::Action action, std::function<void(jobs::JobContext&)> job);
  // True from the click on an action's button until the window is restored after it.
  bool ActionRunning() const { return running_ != nullptr; }
  // Runs `call` on the window's thread and waits for it: what a job on the worker may do to
  // the window besides its host calls.
  void OnWindowThread(const std::function<void()>& call) { calls_->Run(call); }

  // The transport of the VAT check service, on its fixed endpoint.
  std::unique_ptr<soap::HttpTransport> HTTPRIO1;

  // --- controls, under the names the jobs and the tests know them by ------------------
  QLabel* PanelHeader = nullptr;
  QTabWidget* PC = nullptr;
  // Under the tabs while an action runs: a batch job's progress, or a busy bar.
  QProgressBar* pbPostep = nullptr;
  QScrollArea* contentScroll = nullptr;  // around the header, the tabs and the bar
  QWidget* tsDzienne = nullptr;
  QWidget* tsPlikExela = nullptr;
  QWidget* tsTestPoloczenia = nullptr;
  QWidget* tsTmp = nullptr;
  QStatusBar* sb = nullptr;
  std::array<QLabel*, 4> sbPanels{};

  QGroupBox* gbZakresDat = nullptr;
  QLabel* Label6 = nullptr;
  QDateEdit* dpOdDaty = nullptr;
  QLabel* Label7 = nullptr;
  QDateEdit* dpDoDaty = nullptr;
  QPushButton* btnPobierzDaneDzienne = nullptr;
  QLabel* lbPobieranie = nullptr;
  QLabel* lbPobieranieData = nullptr;
  QCheckBox* chbStop1 = nullptr;
  QGroupBox* gbLog = nullptr;
  QPlainTextEdit* mLog1 = nullptr;

  QGroupBox* GroupBox1 = nullptr;
  QTextEdit* Memo2 = nullptr;
  QLabel* Image2 = nullptr;
  QPushButton* btnExcel_wyprwadz = nullptr;
  QFrame* Panel1 = nullptr;
  QGroupBox* gbOutput = nullptr;
  QPlainTextEdit* mOutput = nullptr;
  QGroupBox* gbInput = nullptr;
  QPlainTextEdit* mNIP = nullptr;
  QPushButton* btnDzialaj = nullptr;
  QPushButton* Button1 = nullptr;
  QCheckBox* chbStop = nullptr;
  // "Otwórz wynik": opens the result workbook of the last list run; shown once there is one.
  QPushButton* btnOtworzWynik = nullptr;

  QGroupBox* gbTest = nullptr;
  QLabel* Image1 = nullptr;
  QPushButton* btnCartyfikat = nullptr;
  QPushButton* btnImportujCertyfikat = nullptr;
  QPushButton* btnUstawienia = nullptr;
  QPushButton* btnTestPolaczenia = nullptr;
  QPlainTextEdit* mTest = nullptr;
  QLabel* lbTestPolaczenia = nullptr;

  QGroupBox* gbRichiedente = nullptr;
  QLineEdit* edtNazRic = nullptr;
  QLineEdit* edtPIVARic = nullptr;
  QGroupBox* gbDaVerificare = nullptr;
  QLineEdit* edtNazVer = nullptr;
  QLineEdit* edtPIVAVer = nullptr;
  QPushButton* btnVerify = nullptr;
  QPlainTextEdit* Memo1 = nullptr;

  // --- handlers -------------------------------------------------------------------------
  void btnPobierzDaneDzienneClick();
  void btnExcel_wyprwadzClick();
  void btnTestPolaczeniaClick();
  void btnCartyfikatClick();
  void btnImportujCertyfikatClick();
  // "Ustawienia…": edits the settings file and applies what was saved at once.
  void btnUstawieniaClick();
  void btnVerifyClick();
  void btnDzialajClick();
  void Button1Click();
  void btnOtworzWynikClick();

  // --- JobHost --------------------------------------------------------------------------
  void Log(const std::string& line) override;
  void ClearLog() override;
  void AddOutputLine(const std::string& line) override;
  void ClearOutput() override;
  void SetStatusPanel(int panel, const std::string& text) override;
  void SetProgressLabel(const std::string& text) override;
  void ShowProgress(const jobs::JobProgress& progress) override;
  void SetActionRunning(jobs::Action action, bool running) override;
  void SetWaitCursor(bool waiting) override;
  void ProcessPendingEvents() override;
  bool StopRequested(jobs::StopBox box) const override;
  void SetStopBox(jobs::StopBox box, bool ticked) override;
  std::chrono::year_month_day PeriodFirstDay() const override;
  std::chrono::year_month_day PeriodLastDay() const override;
  std::vector<std::string> LookupTestLines() const override;
  std::optional<std::string> PickFileToOpen() override;
  std::optional<std::string> ConfirmFileToSave(const std::string& proposedPath) override;
  void ShowMessage(const std::string& text) override;
  void ShowError(const std::string& message) override;
  void ShowRunFailures(const std::string& report, bool noneSucceeded) override;
  void OpenWithApplication(const std::string& path) override;
  std::string DocumentsFolder() const override;
  std::string ProgramFolder() const override;
  std::chrono::local_seconds Now() const override;
  std::string ShortDate(std::chrono::year_month_day day) const override;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void FormCreate();
  void FormClose();
  void BuildHeaderAndStatusBar();
  QWidget* BuildPeriodTab();
  QWidget* BuildListTab();
  QWidget* BuildTestTab();
  QWidget* BuildVatTab();
  void BindHandlers();

  // Runs a handler with the busy signs of `style` on `own`; an error that escapes it is shown
  // after everything is restored, and a close asked for meanwhile happens then.
  void RunLongAction(QPushButton* own, LongActionScope::Style style,
                     const std::function<void()>& handler);
  // Runs `work` on the worker thread with the busy signs of `style` on `own`, and a busy bar
  // when asked; the window is restored once it ends. Ignored while another action runs.
  void StartInBackground(QPushButton* own, LongActionScope::Style style, bool busyBar,
                         std::function<void()> work);
  void EndBackgroundAction(const std::optional<QString>& error);
  // Ticks the stop box of the job that runs, if one does, and ends its call in flight.
  void StopRunningAction();
  QPushButton* ButtonOf(jobs::Action action) const;
  QCheckBox* StopBoxOf(jobs::StopBox box) const;

  Clock clock_;
  jobs::RunState state_;
  ActionButtons actions_;
  WaitCursor waitCursor_;
  QPushButton* running_ = nullptr;
  bool closeRequested_ = false;
  // The question whether to stop the running action and close, while it is open: the action's
  // end answers it.
  QPointer<QMessageBox> closeQuestion_;
  std::filesystem::path defaultStore_;  // the store without settings: the user's, or a test's
  std::filesystem::path certificateStore_;
  platform::SettingsFile settings_;
  RecentFolder recentFolder_;
  std::string registerUrl_;  // the register the window talks to, the jobs' address at start
  std::unique_ptr<workbook::ApplicationFactory> spreadsheets_;

  WindowCalls* calls_;
  std::thread worker_;
  std::unique_ptr<LongActionScope> backgroundScope_;
  // Read by the register and VAT calls in flight on the worker: true ends them at once.
  std::shared_ptr<std::atomic<bool>> stopCalls_ = std::make_shared<std::atomic<bool>>(false);
  // Where the rate of the running job is measured from.
  jobs::RateStart progressStart_;
  std::string listResult_;  // the result workbook of the last list run, for "Otwórz wynik"
};

}  // namespace zelvor::app
