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
    QTest::addColumn<QString>("sentence");  // how the Polish sentence beside the field starts
    QTest::newRow("plain http register") << "[register] url"
                                         << "http://127.0.0.1/x"
                                         << "Rejestr jest pytany tylko przez szyfrowane";
    QTest::newRow("nine connections") << "[register] connections"
                                      << "9"
                                      << "Liczba połączeń z rejestrem";
    QTest::newRow("short serial") << "[certificate] serial"
                                  << "12AB"
                                  << "Numer seryjny certyfikatu";
    QTest::newRow("relative store") << "[certificate] store"
                                    << "certyfikaty"
                                    << "Folder magazynu certyfikatów";
    QTest::newRow("two lines") << "[certificate] name"
                               << "KREPTD\n[register]"
                               << "Wartość w ustawieniach musi mieścić się w jednym wierszu";
  }
  void valuesThatCannotBeUsedAreNamedAndNothingIsWritten() {
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QString, sentence);
    zelvor::test::ScratchFolder folder;
    zelvor::platform::SettingsFile settings;
    settings.path = folder / "zelvor.conf";
    SettingsDialog dialog(settings, {});
    dialog.Field("[vat] url")->setText(QStringLiteral("http://127.0.0.1:9/vies"));
    dialog.Field(key.toStdString())->setText(value);
    QVERIFY(!dialog.Save());
    const QString shown = dialog.Problem(key.toStdString())->text();
    QVERIFY(!dialog.Problem(key.toStdString())->isHidden());
    QVERIFY2(shown.startsWith(sentence), qPrintable(shown));
    QVERIFY2(shown.contains(QStringLiteral(" (%1: ").arg(key)), qPrintable(shown));
    for (const std::string& other : zelvor::platform::SettingsKeys())
      if (other != key.toStdString()) QVERIFY2(dialog.Problem(other)->isHidden(), other.c_str());
    QVERIFY(!std::filesystem::exists(settings.path));

    dialog.Field(key.toStdString())->clear();  // an empty field keeps the build's value
    QVERIFY(dialog.Save());
    QVERIFY(dialog.Problem(key.toStdString())->isHidden());
    QVERIFY(dialog.Problem()->isHidden());
    const zelvor::platform::SettingsFile saved = zelvor::platform::ReadSettingsFile(settings.path);
    QVERIFY(saved.vatUrl && saved.vatUrl->value == "http://127.0.0.1:9/vies");
    QVERIFY(!saved.registerUrl && !saved.connections && !saved.serial && !saved.store &&
            !saved.name);
  }

  // Two refused values are both shown at once, each under its own field; mending one leaves
  // the other shown until it is mended too.
  void everyRefusedValueIsShownBesideItsField() {
    zelvor::test::ScratchFolder folder;
    zelvor::platform::SettingsFile settings;
    settings.path = folder / "zelvor.conf";
    SettingsDialog dialog(settings, {});
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    const std::string url = "[register] url";
    const std::string connections = "[register] connections";
    dialog.Field(url)->setText(QStringLiteral("http://127.0.0.1/x"));
    dialog.Field(connections)->setText(QStringLiteral("12"));
    QVERIFY(!dialog.Save());
    QVERIFY(!std::filesystem::exists(settings.path));
    QCoreApplication::processEvents();
    for (const std::string& key : {url, connections}) {
      QLabel* problem = dialog.Problem(key);
      QLineEdit* field = dialog.Field(key);
      QVERIFY2(problem->isVisible(), key.c_str());
      QCOMPARE(problem->parentWidget(), field->parentWidget());
      QVERIFY2(problem->geometry().top() >= field->geometry().bottom(), key.c_str());
    }
    QVERIFY(dialog.Problem(url)->text().startsWith(
        QStringLiteral("Rejestr jest pytany tylko przez szyfrowane połączenie")));
    QVERIFY(dialog.Problem(url)->text().endsWith(
        QStringLiteral("([register] url: the register is only asked over https; not an "
                       "https:// address: http://127.0.0.1/x)")));
    QVERIFY(dialog.Problem(connections)->text().startsWith(QStringLiteral("Liczba połączeń")));
    QVERIFY(
        dialog.Problem(connections)
            ->text()
            .endsWith(QStringLiteral("([register] connections: a number from 1 to 8, not '12')")));
    QVERIFY(dialog.Problem()->isHidden());

    dialog.Field(url)->setText(QStringLiteral("https://127.0.0.1/x"));
    QVERIFY(!dialog.Save());
    QVERIFY(dialog.Problem(url)->isHidden());
    QVERIFY(!dialog.Problem(connections)->isHidden());
    QVERIFY(!std::filesystem::exists(settings.path));

    dialog.Field(connections)->setText(QStringLiteral("8"));
    QVERIFY(dialog.Save());
    QVERIFY(dialog.Problem(connections)->isHidden());
    QCOMPARE(zelvor::platform::ReadSettingsFile(settings.path).Connections(), 8);
  }

  // The user's own comments and layout survive a save from the dialog.
  void savingKeepsTheUsersOwnFile() {
    zelvor::test::ScratchFolder folder;
    const std::filesystem::path path = folder / "zelvor.conf";
    const std::string before =
        "; mój serwer testowy, nie ruszać\n"
        "[register]\n"
        "url = https://127.0.0.1:8443/CitizenApi.svc\n"
        "\n"
        "# ile naraz\n"
        "connections = 2\n";
    std::ofstream(path, std::ios::binary) << before;
    SettingsDialog dialog(zelvor::platform::ReadSettingsFile(path), {});
    dialog.Field("[register] connections")->setText(QStringLiteral("6"));
    QVERIFY(dialog.Save());
    QCOMPARE(QString::fromStdString(FileText(path)),
             QString::fromStdString(before.substr(0, before.size() - 2) + "6\n"));
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
