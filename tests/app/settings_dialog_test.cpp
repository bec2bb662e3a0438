// "Ustawienia…": the dialog refuses values that cannot be used and writes nothing then; saved
// settings reach the window at once, without a restart.
#include "app/settings_dialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QUrl>
#include <fstream>
#include <memory>
#include <sstream>

#include "support/register_sim_window.h"
#include "support/scratch_folder.h"
#include "support/window_test_support.h"

using zelvor::app::SettingsDialog;
using zelvor::test::DialogWatcher;
using zelvor::test::RegisterEnvironment;

namespace {

std::string FileText(const std::filesystem::path& path) {
  std::ifstream in(path);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace

class SettingsDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { zelvor::test::PrepareTestApplication(); }

  void valuesThatCannotBeUsedAreNamedAndNothingIsWritten_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::newRow("plain http register") << "[register] url"
                                         << "http://127.0.0.1/x";
    QTest::newRow("nine connections") << "[register] connections"
                                      << "9";
    QTest::newRow("short serial") << "[certificate] serial"
                                  << "12AB";
    QTest::newRow("relative store") << "[certificate] store"
                                    << "certyfikaty";
    QTest::newRow("two lines") << "[certificate] name"
                               << "KREPTD\n[register]";
  }
  void valuesThatCannotBeUsedAreNamedAndNothingIsWritten() {
    QFETCH(QString, key);
    QFETCH(QString, value);
    zelvor::test::ScratchFolder folder;
    zelvor::platform::SettingsFile settings;
    settings.path = folder / "zelvor.conf";
    SettingsDialog dialog(settings, {});
    dialog.Field("[vat] url")->setText(QStringLiteral("http://127.0.0.1:9/vies"));
    dialog.Field(key.toStdString())->setText(value);
    QVERIFY(!dialog.Save());
    QVERIFY(!dialog.Problem()->isHidden());
    QVERIFY2(dialog.Problem()->text().contains(key), qPrintable(dialog.Problem()->text()));
    QVERIFY(!std::filesystem::exists(settings.path));

    dialog.Field(key.toStdString())->clear();  // an empty field keeps the build's value
    QVERIFY(dialog.Save());
    QVERIFY(dialog.Problem()->isHidden());
    const zelvor::platform::SettingsFile saved = zelvor::platform::ReadSettingsFile(settings.path);
    QVERIFY(saved.vatUrl && saved.vatUrl->value == "http://127.0.0.1:9/vies");
    QVERIFY(!saved.registerUrl && !saved.connections && !saved.serial && !saved.store &&
            !saved.name);
  }

  void savedSettingsReachTheWindowAtOnce() {
    RegisterEnvironment env;
    zelvor::test::ScratchFolder folder;
    zelvor::platform::SettingsFile settings;
    settings.path = folder / "zelvor" / "zelvor.conf";
    zelvor::app::TForm1 form({}, env.StoreFolder(), settings);
    form.show();
    QVERIFY(form.PanelHeader->text().contains(QStringLiteral("BAZA PRODUKCYJNA")));

    DialogWatcher fill([&](QWidget* widget) {
      auto* dialog = qobject_cast<SettingsDialog*>(widget);
      QVERIFY(dialog != nullptr);
      QCOMPARE(dialog->Field("[register] url")->placeholderText(),
               QString::fromStdString(zelvor::reg::ProductionEndpoint()));
      dialog->Field("[register] url")->setText(QString::fromStdString(env.Url()));
      dialog->accept();
    });
    form.btnUstawienia->click();
    QCOMPARE(fill.Seen(), 1);
    QVERIFY(FileText(settings.path).find(env.Url()) != std::string::npos);
    QCOMPARE(form.PanelHeader->text(),
             QStringLiteral("Pobieranie danych z GITD  -  BAZA TESTOWA: 127.0.0.1:%1 ")
                 .arg(QUrl(QString::fromStdString(env.Url())).port()));

    DialogWatcher noDialog([](QWidget* dialog) { dialog->close(); });
    const long before = env.Requests();
    form.btnTestPolaczenia->click();
    QVERIFY(zelvor::test::WaitForAction(form));
    QVERIFY(form.mTest->toPlainText().startsWith(QStringLiteral("ilosc= ")));
    QCOMPARE(env.Requests() - before, 2);
    QCOMPARE(noDialog.Seen(), 0);
  }
};

QTEST_MAIN(SettingsDialogTest)
#include "settings_dialog_test.moc"
