// Drives the window under wine as a person would, with the settings the installed program reads
// (%APPDATA%\Zelvor\zelvor.conf) and Qt's texts from the installed folder: a connection test, a
// list run during which closing the window is asked about and refused, and a run against a
// faulty register whose warning box is answered OK. Saves pictures of the window along the way and
// checks what a person relies on: the connection test's first line, the run's progress, Qt's own
// buttons in Polish, the warning's icon. Exits 0 when every check held; each failure is one line on
// stderr.
//
//   window-drive INSTALL_DIR INPUT.xlsx FAULTY_REGISTER_URL FAULTY_INPUT.xlsx PICTURES_DIR
#include <QApplication>
#include <QDateEdit>
#include <QDir>
#include <QFileDialog>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTest>
#include <cstdio>

#include "app/form1.h"
#include "app/screen_fit.h"
#include "app/toolkit_texts.h"
#include "platform/settings_file.h"
#include "register/citizen_api.h"
#include "support/window_test_support.h"
#include "vies/vat_port_type.h"

namespace {

int failures = 0;

void Check(bool holds, const QString& what) {
  if (holds) return;
  ++failures;
  std::fprintf(stderr, "FAILED: %s\n", what.toUtf8().constData());
}

void Save(QWidget& widget, const QDir& pictures, const QString& name) {
  Check(widget.grab().save(pictures.filePath(name)), QStringLiteral("cannot save ") + name);
}

// The file dialog answered with `path`.
zelvor::test::DialogWatcher::Answer ChooseFile(const QString& path) {
  return [path](QWidget* dialog) {
    auto* files = qobject_cast<QFileDialog*>(dialog);
    if (!files) {
      dialog->close();
      return;
    }
    files->selectFile(path);
    static_cast<QDialog*>(files)->accept();
  };
}

// The whole screen, as a person sees it: the box over its window.
void SaveScreen(const QDir& pictures, const QString& name) {
  Check(QApplication::primaryScreen()->grabWindow(0).save(pictures.filePath(name)),
        QStringLiteral("cannot save ") + name);
}

QString WithoutMnemonic(QString text) {
  return text.remove(u'&');
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc != 6) {
    std::fprintf(stderr,
                 "usage: window-drive INSTALL_DIR INPUT FAULTY_REGISTER_URL FAULTY_INPUT "
                 "PICTURES_DIR\n");
    return 2;
  }
  zelvor::reg::RegisterCitizenApi();
  zelvor::vies::RegisterVatPortType();
  // Qt's own file dialog, which the watcher can answer; the window itself asks for Windows' one.
  QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
  QApplication application(argc, argv);
  zelvor::test::PrepareTestApplication();
  // Qt reads Windows' UTF-16 command line: Polish letters in paths survive.
  const QStringList arguments = QApplication::arguments();
  const QString installed = arguments[1];
  const QString input = arguments[2];
  const std::string faultyUrl = arguments[3].toStdString();
  const QString faultyInput = arguments[4];
  const QDir pictures(arguments[5]);

  QTranslator toolkitTexts;
  Check(zelvor::app::InstallToolkitTexts(
            toolkitTexts, {QDir(installed).filePath(QStringLiteral("translations"))}),
        QStringLiteral("no Polish texts of Qt in ") + installed);

  zelvor::platform::SettingsFile settings =
      zelvor::platform::ReadSettingsFile(zelvor::platform::DefaultSettingsFile());
  zelvor::app::TForm1 form({}, {}, settings);
  zelvor::app::PlaceOnScreen(form);
  form.show();
  if (!QTest::qWaitForWindowExposed(&form)) {
    std::fprintf(stderr, "FAILED: the window was never shown\n");
    return 1;
  }
  QTest::qWait(300);
  Save(form, pictures, QStringLiteral("start.png"));
  // The period's days as the user's Windows writes dates.
  std::printf("period: %s to %s (format %s)\n", form.dpOdDaty->text().toUtf8().constData(),
              form.dpDoDaty->text().toUtf8().constData(),
              form.dpOdDaty->displayFormat().toUtf8().constData());
  Check(!form.dpOdDaty->text().isEmpty() && !form.dpDoDaty->text().isEmpty(),
        QStringLiteral("the period's days show no date"));

  // The connection test: its first line counts what the register found.
  {
    form.PC->setCurrentWidget(form.tsTestPoloczenia);
    const zelvor::test::DialogWatcher noDialog([](QWidget* dialog) { dialog->close(); });
    form.btnTestPolaczenia->click();
    Check(zelvor::test::WaitForAction(form), QStringLiteral("the connection test never ended"));
    const QString first = form.mTest->toPlainText().section(u'\n', 0, 0);
    std::printf("connection test: %s\n", first.toUtf8().constData());
    Check(first.startsWith(QStringLiteral("ilosc= ")),
          QStringLiteral("the connection test showed: ") + form.mTest->toPlainText());
    Check(noDialog.Seen() == 0, QStringLiteral("the connection test showed a box"));
    Save(form, pictures, QStringLiteral("connection.png"));
  }

  // The list run: pictures under way and at its end. Closing the window meanwhile asks whether
  // to stop; the answer No lets the run go on, and the question's buttons are Qt's own.
  {
    zelvor::test::BoxSeen question;
    QStringList buttons;
    const zelvor::test::DialogWatcher watcher(
        {ChooseFile(input), zelvor::test::Press(QMessageBox::No, question, [&] {
           auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
           for (QAbstractButton* button : box->buttons())
             buttons << WithoutMnemonic(button->text());
           QTest::qWait(200);
           Save(*box, pictures, QStringLiteral("question.png"));
           SaveScreen(pictures, QStringLiteral("question-screen.png"));
         })});
    form.PC->setCurrentWidget(form.tsPlikExela);
    form.btnExcel_wyprwadz->click();
    Check(QTest::qWaitFor([&] { return form.pbPostep->value() >= 20; }, 60000),
          QStringLiteral("the list run's progress never reached 20"));
    Save(form, pictures, QStringLiteral("running.png"));
    form.close();
    Check(form.isVisible() && form.ActionRunning(),
          QStringLiteral("answering No to the close question did not keep the run going"));
    Check(zelvor::test::WaitForAction(form, 300000), QStringLiteral("the list run never ended"));
    QTest::qWait(300);
    Save(form, pictures, QStringLiteral("after.png"));
    std::printf("close question: %s [%s]\n", question.text.toUtf8().constData(),
                buttons.join(QStringLiteral("] [")).toUtf8().constData());
    buttons.sort();
    Check(buttons == QStringList({QStringLiteral("Nie"), QStringLiteral("Tak")}),
          QStringLiteral("the question's buttons are not Polish: ") + buttons.join(u' '));
  }

  // A run against a register that fails a third of its calls ends in a warning box.
  {
    settings.registerUrl = zelvor::platform::SetValue{faultyUrl, 0};
    zelvor::app::TForm1 faulty({}, {}, settings);
    zelvor::app::PlaceOnScreen(faulty);
    faulty.show();
    Check(QTest::qWaitForWindowExposed(&faulty), QStringLiteral("the second window never showed"));
    zelvor::test::BoxSeen warning;
    const zelvor::test::DialogWatcher watcher(
        {ChooseFile(faultyInput), zelvor::test::Press(QMessageBox::Ok, warning, [&] {
           QTest::qWait(200);
           Save(*QApplication::activeModalWidget(), pictures, QStringLiteral("warning.png"));
           SaveScreen(pictures, QStringLiteral("warning-screen.png"));
         })});
    faulty.PC->setCurrentWidget(faulty.tsPlikExela);
    faulty.btnExcel_wyprwadz->click();
    Check(zelvor::test::WaitForAction(faulty, 300000),
          QStringLiteral("the faulty run never ended"));
    std::printf("warning box: %s\n", warning.text.toUtf8().constData());
    Check(warning.icon == QMessageBox::Warning,
          QStringLiteral("no warning box after a run with faults: ") + warning.text);
  }

  SaveScreen(pictures, QStringLiteral("screen.png"));
  return failures == 0 ? 0 : 1;
}
