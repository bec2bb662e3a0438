#include "app/form1.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDateEdit>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>
#include <stdexcept>

#include "app/certificate_dialogs.h"
#include "app/message_boxes.h"
#include "app/settings_dialog.h"
#include "app/worker_host.h"
#include "jobs/developer_actions.h"
#include "jobs/nip_list_job.h"
#include "jobs/period_job.h"
#include "platform/certificate_store.h"
#include "register/connection_test.h"
#include "register/register_transport.h"
#include "vies/vat_check.h"
#include "zelvor/build_settings.h"

namespace zelvor::app {

namespace {

constexpr int kClientWidth = 922;
constexpr int kClientHeight = 648;

// Trimmed as the VAT screen tests its fields: spaces and control characters at both ends.
QString TrimBlanks(const QString& text) {
  qsizetype first = 0, last = text.size();
  while (first < last && text[first].unicode() <= u' ') ++first;
  while (last > first && text[last - 1].unicode() <= u' ') --last;
  return text.mid(first, last - first);
}

// The message of the error that escapes `action`, if one does.
std::optional<QString> ErrorEscaping(const std::function<void()>& action) {
  try {
    action();
  } catch (const std::exception& e) {
    return QString::fromUtf8(e.what());
  } catch (...) {
    return QStringLiteral("Nieznany błąd");
  }
  return std::nullopt;
}

}  // namespace

TForm1::TForm1(Clock clock, std::filesystem::path certificateStore,
               const platform::SettingsFile& settings, QWidget* parent)
    : QMainWindow(parent),
      clock_(clock ? std::move(clock) : Clock(&QDateTime::currentDateTime)),
      defaultStore_(std::move(certificateStore)),
      spreadsheets_(workbook::MakeXlsxFactory()),
      calls_(new WindowCalls(this)) {
  setObjectName(QStringLiteral("Form1"));
  // The real program reads its settings from a file; beside it the window keeps where the person
  // last chose a file. Without a file (tests) the folder is remembered for this run only.
  if (!settings.path.empty())
    recentFolder_ = RecentFolder(settings.path.parent_path() / "zelvor-window.ini");
  setWindowTitle(QStringLiteral("2024-12-04"));
  QFont windowFont = font();
  windowFont.setPixelSize(11);
  setFont(windowFont);

  BuildHeaderAndStatusBar();
  PC = new QTabWidget;
  PC->setObjectName(QStringLiteral("PC"));
  tsDzienne = BuildPeriodTab();
  tsPlikExela = BuildListTab();
  tsTestPoloczenia = BuildTestTab();
  tsTmp = BuildVatTab();
  PC->addTab(tsDzienne, QStringLiteral("Dane za okres"));
  PC->addTab(tsPlikExela, QStringLiteral("Plik Excela"));
  PC->addTab(tsTestPoloczenia, QStringLiteral("Test Połączenia"));
  PC->addTab(tsTmp, QStringLiteral("tsTmp"));
  pbPostep = new QProgressBar;
  pbPostep->setObjectName(QStringLiteral("pbPostep"));
  pbPostep->setTextVisible(true);
  pbPostep->setAlignment(Qt::AlignCenter);
  pbPostep->hide();

  auto* content = new QWidget;
  auto* layout = new QVBoxLayout(content);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(PanelHeader);
  layout->addWidget(PC, 1);
  layout->addWidget(pbPostep);
  // On a small screen or at a large scale the window is smaller than its contents: they scroll,
  // so that every control stays reachable.
  contentScroll = new QScrollArea;
  contentScroll->setObjectName(QStringLiteral("contentScroll"));
  contentScroll->setFrameShape(QFrame::NoFrame);
  contentScroll->setWidgetResizable(true);
  contentScroll->setWidget(content);
  setCentralWidget(contentScroll);
  resize(kClientWidth, kClientHeight);

  ApplySettings(settings);
  BindHandlers();
  FormCreate();
}

void TForm1::ApplySettings(const platform::SettingsFile& settings) {
  settings_ = settings;
  if (settings_.path.empty()) settings_.path = platform::DefaultSettingsFile();
  // A stop or a confirmed close ends the calls in flight of both services at once.
  soap::HttpSettings vatHttp;
  vatHttp.aborted = [stop = stopCalls_] { return stop->load(); };
  HTTPRIO1 = std::make_unique<soap::HttpTransport>(
      settings.vatUrl ? settings.vatUrl->value : vies::Endpoint(), vatHttp);
  certificateStore_ = settings.store ? std::filesystem::path(settings.store->value) : defaultStore_;
  registerUrl_ = settings.registerUrl ? settings.registerUrl->value : reg::ProductionEndpoint();
  state_.registerAddress = registerUrl_;
  PanelHeader->setText(HeaderText(registerUrl_));

  // The register transport asks the person through the window's picker when no certificate
  // in the store matches its settings.
  reg::RegisterTransportSettings transport = reg::DefaultRegisterTransportSettings();
  transport.url = registerUrl_;
  transport.storeFolder = certificateStore_;
  if (settings.name) transport.selectors.displayName = settings.name->value;
  if (settings.issuer) transport.selectors.issuer = settings.issuer->value;
  if (settings.subject) transport.selectors.subject = settings.subject->value;
  if (settings.serial) transport.selectors.serialNumber = settings.serial->value;
  transport.picker = std::make_shared<DialogCertificatePicker>(this, *calls_);
  transport.http.aborted = vatHttp.aborted;
  state_.registerConnections =
      settings.connections ? settings.Connections() : build::kRegisterConnections;
  state_.openRegisterConnection = reg::RegisterConnectionOpener(transport);
  state_.registerTransport = reg::MakeRegisterTransport(std::move(transport));
}

std::map<std::string, std::string> TForm1::DefaultSettings() const {
  const platform::CertificateSelectors selectors = reg::DefaultCertificateSelectors();
  return {{"[register] url", reg::ProductionEndpoint()},
          {"[register] connections", std::to_string(build::kRegisterConnections)},
          {"[vat] url", vies::Endpoint()},
          {"[certificate] store", platform::ResolveStoreFolder(defaultStore_).string()},
          {"[certificate] name", selectors.displayName},
          {"[certificate] issuer", selectors.issuer},
          {"[certificate] subject", selectors.subject},
          {"[certificate] serial", selectors.serialNumber}};
}

void TForm1::btnUstawieniaClick() {
  SettingsDialog dialog(settings_, DefaultSettings(), this);
  if (dialog.exec() == QDialog::Accepted) ApplySettings(dialog.Edited());
}

// A window torn down while an action runs stops it and lets it end first: the worker uses the
// window's state and asks the window to its last host call.
TForm1::~TForm1() {
  if (worker_.joinable()) {
    closeRequested_ = false;
    StopRunningAction();
    while (running_ != nullptr) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  }
  waitCursor_.HideAll();
}

void TForm1::FormCreate() {
  const QDate today = clock_().date();
  dpOdDaty->setDate(today.addMonths(-1));  // the same day, or the last day of a shorter month
  dpDoDaty->setDate(today);

  PC->setCurrentWidget(tsDzienne);
  PC->setTabVisible(PC->indexOf(tsTmp), false);
  // Ctrl+Tab, the arrow keys and the wheel move between the enabled tabs of the bar, hidden or
  // not: only a disabled tab is passed over. The page itself stays enabled.
  PC->tabBar()->setTabEnabled(PC->indexOf(tsTmp), false);

  actions_.Add(btnPobierzDaneDzienne, {lbPobieranie, lbPobieranieData});
  actions_.Add(btnTestPolaczenia, {lbTestPolaczenia});
  for (QPushButton* button : {btnExcel_wyprwadz, btnCartyfikat, btnImportujCertyfikat,
                              btnUstawienia, btnVerify, btnDzialaj, Button1})
    actions_.Add(button);
  btnOtworzWynik->hide();

  mLog1->clear();
  mOutput->clear();
}

void TForm1::FormClose() {
  state_.rows.Clear();
  for (jobs::KeySet* list : {&state_.taxNumbersSeen, &state_.referenceNumbersSeen}) list->clear();
}

void TForm1::BindHandlers() {
  const auto bind = [this](QPushButton* button, void (TForm1::*handler)()) {
    connect(button, &QPushButton::clicked, this, handler);
  };
  bind(btnPobierzDaneDzienne, &TForm1::btnPobierzDaneDzienneClick);
  bind(btnExcel_wyprwadz, &TForm1::btnExcel_wyprwadzClick);
  bind(btnTestPolaczenia, &TForm1::btnTestPolaczeniaClick);
  bind(btnCartyfikat, &TForm1::btnCartyfikatClick);
  bind(btnImportujCertyfikat, &TForm1::btnImportujCertyfikatClick);
  bind(btnUstawienia, &TForm1::btnUstawieniaClick);
  bind(btnVerify, &TForm1::btnVerifyClick);
  bind(btnDzialaj, &TForm1::btnDzialajClick);
  bind(Button1, &TForm1::Button1Click);
  bind(btnOtworzWynik, &TForm1::btnOtworzWynikClick);
  // The box of the job that runs ends its call in flight as well; unticked, it lets calls be.
  const auto stopBox = [this](QCheckBox* box, QPushButton* job) {
    connect(box, &QCheckBox::toggled, this, [this, job](bool ticked) {
      if (running_ == job) stopCalls_->store(ticked);
    });
  };
  stopBox(chbStop, btnExcel_wyprwadz);
  stopBox(chbStop1, btnPobierzDaneDzienne);
}

bool TForm1::AskYesNo(const std::string& question) {
  return AskYesNoBox(this, QString::fromStdString(question));
}

bool TForm1::VerifyInputsFilled() {
  if (TrimBlanks(edtNazVer->text()).isEmpty() || TrimBlanks(edtPIVAVer->text()).isEmpty()) {
    ShowWarningBox(this,
                   QStringLiteral("La Nazione e la Partita IVA da verificare sono obbligatori"));
    return false;
  }
  if (TrimBlanks(edtNazRic->text()).isEmpty() || TrimBlanks(edtPIVARic->text()).isEmpty()) {
    ShowWarningBox(this,
                   QStringLiteral("La Nazione e la Partita IVA del richiedente sono obbligatori"));
    return false;
  }
  return true;
}

void TForm1::RunLongAction(QPushButton* own, LongActionScope::Style style,
                           const std::function<void()>& handler) {
  std::optional<QString> error;
  {
    running_ = own;
    LongActionScope scope(actions_, waitCursor_, own, style);
    error = ErrorEscaping(handler);
    running_ = nullptr;
  }
  if (error) ShowErrorBox(this, *error);
  if (closeRequested_) close();
}

void TForm1::StartInBackground(QPushButton* own, LongActionScope::Style style, bool busyBar,
                               std::function<void()> work) {
  if (running_ != nullptr) return;
  running_ = own;
  // The last run's result is no longer the one to open while the next run makes its own.
  if (own == btnExcel_wyprwadz) btnOtworzWynik->hide();
  stopCalls_->store(false);
  progressStart_ = {};
  backgroundScope_ = std::make_unique<LongActionScope>(actions_, waitCursor_, own, style);
  if (busyBar) {
    pbPostep->setRange(0, 0);
    pbPostep->setFormat(QString());
    pbPostep->show();
  }
  worker_ = std::thread([this, work = std::move(work)] {
    calls_->Post([this, error = ErrorEscaping(work)] { EndBackgroundAction(error); });
  });
}

void TForm1::EndBackgroundAction(const std::optional<QString>& error) {
  worker_.join();
  // Nothing is left to stop: the close the person asked for goes ahead.
  if (closeQuestion_) closeQuestion_->done(QMessageBox::Yes);
  const bool listRun = running_ == btnExcel_wyprwadz;
  running_ = nullptr;
  backgroundScope_.reset();
  pbPostep->hide();
  if (listRun) {
    listResult_ = state_.resultPath;
    btnOtworzWynik->setVisible(!listResult_.empty() &&
                               QFileInfo::exists(QString::fromStdString(listResult_)));
  }
  if (error) ShowErrorBox(this, *error);
  if (closeRequested_) close();
}

void TForm1::RunJob(jobs::Action action, std::function<void(jobs::JobContext&)> job) {
  StartInBackground(ButtonOf(action), {.disableOwnButton = true, .waitCursor = false}, false,
                    [this, job = std::move(job)] {
                      WorkerHost host(*this, *calls_);
                      jobs::JobContext ctx{state_, host, *spreadsheets_};
                      ctx.retries.stopped = [stop = stopCalls_] { return stop->load(); };
                      job(ctx);
                    });
}

QPushButton* TForm1::ButtonOf(jobs::Action action) const {
  switch (action) {
    case jobs::Action::PeriodJob:
      return btnPobierzDaneDzienne;
    case jobs::Action::NipListJob:
      return btnExcel_wyprwadz;
    case jobs::Action::LookupTest:
      return btnDzialaj;
    case jobs::Action::WorkbookTest:
      return Button1;
  }
  throw std::logic_error("unknown action");
}

void TForm1::SetSpreadsheetFactory(std::unique_ptr<workbook::ApplicationFactory> factory) {
  spreadsheets_ = std::move(factory);
}

QCheckBox* TForm1::StopBoxOf(jobs::StopBox box) const {
  return box == jobs::StopBox::NipList ? chbStop : chbStop1;
}

void TForm1::StopRunningAction() {
  if (running_ == btnPobierzDaneDzienne) chbStop1->setChecked(true);
  if (running_ == btnExcel_wyprwadz) chbStop->setChecked(true);
  stopCalls_->store(true);
}

// While an action runs the window only closes through it: the user is asked first, the call in
// flight is ended and the job's stop box ticked so that it saves what it wrote, and the window
// closes once the action is over.
void TForm1::closeEvent(QCloseEvent* event) {
  if (running_) {
    event->ignore();
    if (closeRequested_ || closeQuestion_) return;
    const bool stop = AskYesNoBox(
        this, QStringLiteral("Trwa pobieranie danych. Czy przerwać pobieranie i zamknąć program?"),
        &closeQuestion_);
    // The action may have ended while the question was open; then it answered it, and the
    // window closes as it would have without an action.
    if (!stop) return;
    if (running_) {
      closeRequested_ = true;
      StopRunningAction();
      return;
    }
  }
  FormClose();
  event->accept();
}

void TForm1::btnPobierzDaneDzienneClick() {
  RunJob(jobs::Action::PeriodJob, jobs::RunPeriodJob);
}

void TForm1::btnExcel_wyprwadzClick() {
  RunJob(jobs::Action::NipListJob, jobs::RunNipListJob);
}

void TForm1::btnDzialajClick() {
  RunJob(jobs::Action::LookupTest, jobs::RunDeveloperLookup);
}

void TForm1::Button1Click() {
  RunJob(jobs::Action::WorkbookTest, jobs::WriteSampleWorkbook);
}

// The test reports its own failures as its last line in mTest; only the busy signs are the
// window's. Its lines show as they come.
void TForm1::btnTestPolaczeniaClick() {
  StartInBackground(
      btnTestPolaczenia, {.disableOwnButton = true, .waitCursor = true}, true, [this] {
        const reg::LineSink addLine = [this](const std::string& line) {
          calls_->Post(
              [this, text = QString::fromStdString(line)] { mTest->appendPlainText(text); });
        };
        try {
          const std::unique_ptr<reg::CitizenApi> api =
              state_.registerTransport->As<reg::CitizenApi>();
          reg::RunConnectionTest(*api, addLine, [this](auto day) {
            return calls_->Get([&] { return ShortDate(day); });
          });
        } catch (const std::exception& e) {
          addLine(e.what());
        }
      });
}

// The button stays enabled during a check; a failed call leaves the previous result in Memo1.
void TForm1::btnVerifyClick() {
  if (running_ != nullptr || !VerifyInputsFilled()) return;
  const vies::VatQuery query{edtNazVer->text().toStdString(), edtPIVAVer->text().toStdString(),
                             edtNazRic->text().toStdString(), edtPIVARic->text().toStdString()};
  StartInBackground(
      btnVerify, {.disableOwnButton = false, .waitCursor = false}, true, [this, query] {
        const vies::VatAnswer answer = vies::CheckVat(*HTTPRIO1->As<vies::VatPortType>(), query);
        QStringList lines;
        for (const std::string& line : vies::VatResultLines(
                 answer, query.vatNumber,
                 [this](auto day) { return calls_->Get([&] { return ShortDate(day); }); }))
          lines << QString::fromStdString(line);
        calls_->Post([this, text = lines.join(u'\n')] { Memo1->setPlainText(text); });
      });
}

void TForm1::btnOtworzWynikClick() {
  OpenWithApplication(listResult_);
}

}  // namespace zelvor::app
