// Saves a picture of the main window at each of its tabs into the given folder, for looking
// over the layout under a real display (xvfb-run), after a period run, a list run and a
// connection test against register-sim and a VAT check against vies-sim; of the list tab while
// its run is under way (running1.png) and once it is over (after1.png); of the settings dialog
// with two refused values (settings.png), the warning box after a run with faults (warning.png)
// and the whole screen with the window as it opens (screen.png). Not a test: it checks nothing.
#include <QApplication>
#include <QDateEdit>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTest>

#include "app/certificate_dialogs.h"
#include "app/screen_fit.h"
#include "app/settings_dialog.h"
#include "support/register_sim_window.h"
#include "support/sim_process.h"
#include "support/window_test_support.h"
#include "support/workbook_files.h"

namespace {

// Answers the file dialog with `path`, then any message box with No.
zelvor::test::DialogWatcher ChooseFileThenNo(const QString& path) {
  return zelvor::test::DialogWatcher({[path](QWidget* dialog) {
                                        if (auto* files = qobject_cast<QFileDialog*>(dialog)) {
                                          files->selectFile(path);
                                          static_cast<QDialog*>(files)->accept();
                                        }
                                      },
                                      [](QWidget* dialog) {
                                        if (auto* box = qobject_cast<QMessageBox*>(dialog))
                                          box->button(QMessageBox::No)->click();
                                      }});
}

}  // namespace

int main(int argc, char* argv[]) {
  QGuiApplication::setHighDpiScaleFactorRoundingPolicy(
      Qt::HighDpiScaleFactorRoundingPolicy::PassThrough);
  QApplication application(argc, argv);
  const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();

  // Slow enough answers that a run of 60 numbers can be seen under way.
  const zelvor::test::RegisterEnvironment env({"--latency-ms", "40"});
  zelvor::test::SimProcess vies(zelvor::test::ViesSimPath(), {"--seed", "5"});
  const auto window = zelvor::test::RegisterSimWindow(env);
  zelvor::app::TForm1& form = *window;
  if (!QTest::qWaitForWindowExposed(&form)) return 1;
  const QDir work(QString::fromStdString(env.StoreFolder().string()));

  const auto& data = env.Data();
  const QDate day = zelvor::test::ToQDate(data.BusyDays(3).front());
  form.dpOdDaty->setDate(day);
  form.dpDoDaty->setDate(day.addDays(1));
  {
    const auto watcher = ChooseFileThenNo(work.filePath(QStringLiteral("okres.xlsx")));
    form.btnPobierzDaneDzienne->click();
    if (!zelvor::test::WaitForAction(form)) return 1;
  }
  const QString input = work.filePath(QStringLiteral("klienci.xlsx"));
  zelvor::test::SheetRows numbers{{"NIP"}, {"1234567890"}};
  for (std::size_t i = 0; i < 60; ++i) numbers.push_back({data.At(i).NIP});
  zelvor::test::WriteWorkbook(input.toStdString(), numbers);
  {
    const auto watcher = ChooseFileThenNo(input);
    form.PC->setCurrentWidget(form.tsPlikExela);
    form.btnExcel_wyprwadz->click();
    if (!QTest::qWaitFor([&] { return form.pbPostep->value() >= 20; }, 30000)) return 1;
    if (!form.grab().save(QDir(folder).filePath(QStringLiteral("running1.png")))) return 1;
    if (!zelvor::test::WaitForAction(form)) return 1;
    QTest::qWait(200);
    if (!form.grab().save(QDir(folder).filePath(QStringLiteral("after1.png")))) return 1;
  }
  form.PC->setCurrentWidget(form.tsTestPoloczenia);
  form.btnTestPolaczenia->click();
  if (!zelvor::test::WaitForAction(form)) return 1;
  form.HTTPRIO1->SetURL(vies.Url());
  form.btnVerify->click();
  if (!zelvor::test::WaitForAction(form)) return 1;
  form.PC->setTabVisible(form.PC->indexOf(form.tsTmp), true);  // to look at it as well
  for (int tab = 0; tab < form.PC->count(); ++tab) {
    form.PC->setCurrentIndex(tab);
    QTest::qWait(200);
    const QString file = QDir(folder).filePath(QStringLiteral("tab%1.png").arg(tab));
    if (!form.grab().save(file)) return 1;
  }
  // The busy signs as a running job and a running connection test show them.
  form.SetActionRunning(zelvor::jobs::Action::PeriodJob, true);
  form.SetProgressLabel("za dzień: 2024-03-01");
  form.PC->setCurrentWidget(form.tsDzienne);
  QTest::qWait(200);
  if (!form.grab().save(QDir(folder).filePath(QStringLiteral("busy0.png")))) return 1;
  form.SetActionRunning(zelvor::jobs::Action::PeriodJob, false);
  form.btnTestPolaczenia->setEnabled(false);
  form.lbTestPolaczenia->setVisible(true);
  form.btnCartyfikat->setEnabled(false);
  form.btnImportujCertyfikat->setEnabled(false);
  form.PC->setCurrentWidget(form.tsTestPoloczenia);
  QTest::qWait(200);
  if (!form.grab().save(QDir(folder).filePath(QStringLiteral("busy2.png")))) return 1;

  // The two certificate dialogs with two certificates of the same name.
  const std::vector<zelvor::app::CertificateRow> rows = {
      {"KREPTD", "PL;mazowieckie;Warszawa;Przewozy Sp. z o.o.;KREPTD", "local;gitd;GITD SUB03 CA",
       "0A1B2C3D4E5F60718293A4B5C6D7E8F9012345", QDate(2024, 1, 1), QDate(2026, 1, 1)},
      {"KREPTD", "PL;mazowieckie;Warszawa;Przewozy Sp. z o.o.;KREPTD", "local;gitd;GITD SUB03 CA",
       "0A1B2C3D4E5F60718293A4B5C6D7E8F9056789", QDate(2025, 1, 1), QDate(2027, 1, 1)}};
  zelvor::app::CertificateViewDialog view(rows, &form);
  zelvor::app::CertificatePickerDialog picker(rows, &form);
  for (QDialog* dialog : std::initializer_list<QDialog*>{&view, &picker}) {
    dialog->show();
    QTest::qWait(200);
    const QString name =
        dialog == &view ? QStringLiteral("view.png") : QStringLiteral("picker.png");
    if (!dialog->grab().save(QDir(folder).filePath(name))) return 1;
    dialog->hide();
  }

  // The settings dialog after saving two values it refuses.
  {
    zelvor::platform::SettingsFile settings;
    settings.path = work.filePath(QStringLiteral("zelvor.conf")).toStdString();
    zelvor::app::SettingsDialog dialog(settings, {}, &form);
    dialog.Field("[register] url")->setText(QStringLiteral("http://rejestr.example/api"));
    dialog.Field("[register] connections")->setText(QStringLiteral("12"));
    dialog.show();
    dialog.Save();
    QTest::qWait(200);
    if (!dialog.grab().save(QDir(folder).filePath(QStringLiteral("settings.png")))) return 1;
  }

  // The warning box after a list run in which a third of the calls met a fault.
  {
    const zelvor::test::RegisterEnvironment faulty(
        {"--fault-rate", "0.35", "--fault-seed", "3", "--fault-kinds", "empty,html,malformed"});
    const auto faultyWindow = zelvor::test::RegisterSimWindow(faulty);
    if (!QTest::qWaitForWindowExposed(faultyWindow.get())) return 1;
    const QString faultyInput = work.filePath(QStringLiteral("usterki.xlsx"));
    zelvor::test::SheetRows few{{"NIP"}};
    for (std::size_t i = 0; i < 8; ++i) few.push_back({faulty.Data().At(i).NIP});
    zelvor::test::WriteWorkbook(faultyInput.toStdString(), few);
    bool saved = false;
    const zelvor::test::DialogWatcher watcher(
        {[&](QWidget* dialog) {
           if (auto* files = qobject_cast<QFileDialog*>(dialog)) {
             files->selectFile(faultyInput);
             static_cast<QDialog*>(files)->accept();
           }
         },
         [&](QWidget* dialog) {
           QTest::qWait(200);
           saved = dialog->grab().save(QDir(folder).filePath(QStringLiteral("warning.png")));
           dialog->close();
         }});
    faultyWindow->PC->setCurrentWidget(faultyWindow->tsPlikExela);
    faultyWindow->btnExcel_wyprwadz->click();
    if (!zelvor::test::WaitForAction(*faultyWindow) || !saved) return 1;
  }

  // The window as it opens on this screen (run it at a scale: QT_SCALE_FACTOR=1.5).
  zelvor::app::PlaceOnScreen(form);
  QTest::qWait(300);
  QScreen* screen = form.screen();
  if (!screen->grabWindow(0).save(QDir(folder).filePath(QStringLiteral("screen.png")))) return 1;
  return 0;
}
