// Saves a picture of the main window at each of its tabs into the given folder, for looking
// over the layout under a real display (xvfb-run), after a connection test against register-sim
// and a VAT check against vies-sim. Not a test: it checks nothing.
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include "app/certificate_dialogs.h"
#include "app/register_sim_window.h"
#include "support/sim_process.h"

int main(int argc, char* argv[]) {
  QGuiApplication::setHighDpiScaleFactorRoundingPolicy(
      Qt::HighDpiScaleFactorRoundingPolicy::PassThrough);
  QApplication application(argc, argv);
  const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();

  const zelvor::test::RegisterEnvironment env;
  zelvor::test::SimProcess vies(zelvor::test::ViesSimPath(), {"--seed", "5"});
  const auto window = zelvor::test::RegisterSimWindow(env);
  zelvor::app::TForm1& form = *window;
  if (!QTest::qWaitForWindowExposed(&form)) return 1;
  form.PC->setCurrentWidget(form.tsTestPoloczenia);
  form.btnTestPolaczenia->click();
  form.HTTPRIO1->SetURL(vies.Url());
  form.btnVerify->click();
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
  return 0;
}
