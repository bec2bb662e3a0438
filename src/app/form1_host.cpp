// The main window as the host of the jobs.
#include <QCheckBox>
#include <QCoreApplication>
#include <QDateEdit>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStandardPaths>
#include <QStatusBar>
#include <QUrl>
#include <algorithm>
#include <limits>

#include "app/form1.h"
#include "app/message_boxes.h"
#include "app/progress_text.h"

namespace zelvor::app {

namespace {

using std::chrono::year_month_day;

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

std::string NativePath(const QString& path) {
  return QDir::toNativeSeparators(path).toStdString();
}

year_month_day ToDay(QDate date) {
  return std::chrono::year{date.year()} / static_cast<unsigned>(date.month()) /
         static_cast<unsigned>(date.day());
}

QDate ToQDate(year_month_day day) {
  return {static_cast<int>(day.year()), static_cast<int>(static_cast<unsigned>(day.month())),
          static_cast<int>(static_cast<unsigned>(day.day()))};
}

}  // namespace

void TForm1::Log(const std::string& line) {
  mLog1->appendPlainText(Q(line));
}

void TForm1::ClearLog() {
  mLog1->clear();
}

void TForm1::AddOutputLine(const std::string& line) {
  mOutput->appendPlainText(Q(line));
}

void TForm1::ClearOutput() {
  mOutput->clear();
}

void TForm1::SetStatusPanel(int panel, const std::string& text) {
  sbPanels.at(static_cast<std::size_t>(panel))->setText(Q(text));
  sb->repaint();
}

void TForm1::SetProgressLabel(const std::string& text) {
  lbPobieranieData->setText(Q(text));
  lbPobieranieData->repaint();
}

void TForm1::ShowProgress(const jobs::JobProgress& progress) {
  const auto elapsed = progressStart_.Elapsed(std::chrono::steady_clock::now(), progress.done);
  const auto bound = [](std::int64_t value) {
    return static_cast<int>(std::clamp<std::int64_t>(value, 0, std::numeric_limits<int>::max()));
  };
  pbPostep->setRange(0, std::max(bound(progress.total), 1));
  pbPostep->setValue(bound(std::min(progress.done, progress.total)));
  pbPostep->setFormat(ProgressBarText(
      progress,
      jobs::MeasureRate(progress.done, progress.total, elapsed, progressStart_.DoneAtStart())));
  pbPostep->show();
}

void TForm1::SetActionRunning(jobs::Action action, bool running) {
  actions_.SetEnabled(ButtonOf(action), !running);
}

void TForm1::SetWaitCursor(bool waiting) {
  if (waiting)
    waitCursor_.Show();
  else
    waitCursor_.Hide();
}

void TForm1::ProcessPendingEvents() {
  QCoreApplication::processEvents();
}

bool TForm1::StopRequested(jobs::StopBox box) const {
  return StopBoxOf(box)->isChecked();
}

void TForm1::SetStopBox(jobs::StopBox box, bool ticked) {
  StopBoxOf(box)->setChecked(ticked);
}

year_month_day TForm1::PeriodFirstDay() const {
  return ToDay(dpOdDaty->date());
}

year_month_day TForm1::PeriodLastDay() const {
  return ToDay(dpDoDaty->date());
}

std::vector<std::string> TForm1::LookupTestLines() const {
  std::vector<std::string> lines;
  for (const QString& line : mNIP->toPlainText().split(u'\n')) lines.push_back(line.toStdString());
  return lines;
}

std::optional<std::string> TForm1::PickFileToOpen() {
  const QString path = QFileDialog::getOpenFileName(this, QString(), recentFolder_.Folder());
  if (path.isEmpty()) return std::nullopt;
  recentFolder_.Remember(path);
  return NativePath(path);
}

std::optional<std::string> TForm1::ConfirmFileToSave(const std::string& proposedPath) {
  const QFileInfo proposed(Q(proposedPath));
  QFileDialog dialog(this);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  const QString recent = recentFolder_.Folder();
  dialog.setDirectory(recent.isEmpty() ? proposed.absolutePath() : recent);
  dialog.setDefaultSuffix(proposed.suffix());
  dialog.selectFile(proposed.fileName());
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  recentFolder_.Remember(dialog.selectedFiles().constFirst());
  return NativePath(dialog.selectedFiles().constFirst());
}

void TForm1::ShowMessage(const std::string& text) {
  ShowMessageBox(this, Q(text));
}

void TForm1::ShowError(const std::string& message) {
  ShowErrorBox(this, Q(message));
}

void TForm1::ShowRunFailures(const std::string& report, bool noneSucceeded) {
  if (noneSucceeded) {
    ShowErrorBox(this, Q(report));
  } else {
    ShowWarningBox(this, Q(report));
  }
}

void TForm1::OpenWithApplication(const std::string& path) {
  QDesktopServices::openUrl(QUrl::fromLocalFile(Q(path)));
}

std::string TForm1::DocumentsFolder() const {
  // A documents folder that was never made would send the save dialog elsewhere.
  QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  if (folder.isEmpty() || !QFileInfo(folder).isDir()) folder = QDir::homePath();
  while (folder.size() > 1 && folder.endsWith(u'/')) folder.chop(1);
  return NativePath(folder);
}

std::string TForm1::ProgramFolder() const {
  return NativePath(QCoreApplication::applicationDirPath());
}

std::chrono::local_seconds TForm1::Now() const {
  const QDateTime now = clock_();
  const QTime time = now.time();
  return std::chrono::local_days{ToDay(now.date())} + std::chrono::hours{time.hour()} +
         std::chrono::minutes{time.minute()} + std::chrono::seconds{time.second()};
}

std::string TForm1::ShortDate(year_month_day day) const {
  return QLocale::system().toString(ToQDate(day), QLocale::ShortFormat).toStdString();
}

}  // namespace zelvor::app
