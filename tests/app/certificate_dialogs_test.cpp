// The certificate view, the certificate picker and the import of a certificate file.
#include "app/certificate_dialogs.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QInputDialog>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include "app/form1.h"
#include "app/window_test_support.h"

using zelvor::app::CertificatePickerDialog;
using zelvor::app::CertificateRow;
using zelvor::app::CertificateViewDialog;
using zelvor::app::TForm1;
using zelvor::test::BoxSeen;
using zelvor::test::DialogWatcher;
using zelvor::test::Press;

namespace {

const std::vector<CertificateRow> kCandidates = {
    {"KREPTD", "PL;mazowieckie;Warszawa;Firma;KREPTD", "local;gitd;GITD SUB03 CA",
     "0A1B2C3D4E5F60718293A4B5C6D7E8F901234", QDate(2024, 1, 1), QDate(2026, 1, 1)},
    {"KREPTD", "PL;mazowieckie;Warszawa;Firma;KREPTD", "local;gitd;GITD SUB03 CA",
     "0A1B2C3D4E5F60718293A4B5C6D7E8F905678", QDate(2025, 1, 1), QDate(2027, 1, 1)},
};

}  // namespace

class CertificateDialogsTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { zelvor::test::PrepareTestApplication(); }

  void pickerGivesTheChosenRowOrNothing_data() {
    QTest::addColumn<int>("row");  // -1: the user goes on without a certificate
    QTest::newRow("second") << 1;
    QTest::newRow("none") << -1;
  }
  void pickerGivesTheChosenRowOrNothing() {
    QFETCH(int, row);
    bool okWithoutChoice = true;
    DialogWatcher watcher([&](QWidget* dialog) {
      auto* picker = qobject_cast<CertificatePickerDialog*>(dialog);
      QVERIFY(picker);
      QCOMPARE(picker->Table()->rowCount(), 2);
      QCOMPARE(picker->Table()->item(1, 3)->text(), kCandidates[1].serialNumber);
      auto* buttons = picker->findChild<QDialogButtonBox*>();
      okWithoutChoice = buttons->button(QDialogButtonBox::Ok)->isEnabled();
      if (row < 0) return picker->reject();
      picker->Table()->selectRow(row);
      buttons->button(QDialogButtonBox::Ok)->click();
    });
    const auto chosen = zelvor::app::PickCertificate(nullptr, kCandidates);
    QCOMPARE(watcher.Seen(), 1);
    QVERIFY(!okWithoutChoice);
    if (row < 0)
      QVERIFY(!chosen.has_value());
    else
      QCOMPARE(chosen, std::optional<std::size_t>(static_cast<std::size_t>(row)));
  }

  void certificateButtonShowsTheStore() {
    TForm1 form;
    form.show();
    form.SetCertificateStore([] { return kCandidates; }, {});
    QStringList shown;
    DialogWatcher watcher([&](QWidget* dialog) {
      auto* view = qobject_cast<CertificateViewDialog*>(dialog);
      QVERIFY(view);
      for (int col = 0; col < view->Table()->columnCount(); ++col)
        shown << view->Table()->item(0, col)->text();
      view->reject();
    });
    form.btnCartyfikat->click();
    QCOMPARE(watcher.Seen(), 1);
    QCOMPARE(shown, QStringList({"KREPTD", kCandidates[0].subject, kCandidates[0].issuer,
                                 kCandidates[0].serialNumber, "2024-01-01", "2026-01-01"}));
  }

  // The file is picked, then its password is asked for; cancelling there imports nothing.
  void importAsksForTheFileAndItsPassword_data() {
    QTest::addColumn<bool>("passwordGiven");
    QTest::newRow("password given") << true;
    QTest::newRow("cancelled at the password") << false;
  }
  void importAsksForTheFileAndItsPassword() {
    QFETCH(bool, passwordGiven);
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("kreptd.p12"));
    QFile(file).open(QIODevice::WriteOnly);
    TForm1 form;
    form.show();
    std::vector<std::pair<std::string, std::string>> imports;
    form.SetCertificateStore({}, [&](const std::string& path, const std::string& password) {
      imports.emplace_back(path, password);
      return std::vector<CertificateRow>{kCandidates[0]};
    });
    BoxSeen report;
    DialogWatcher watcher({[&](QWidget* dialog) {
                             auto* files = qobject_cast<QFileDialog*>(dialog);
                             QVERIFY(files);
                             files->selectFile(file);
                             static_cast<QDialog*>(files)->accept();  // as the Open button does
                           },
                           [&](QWidget* dialog) {
                             auto* input = qobject_cast<QInputDialog*>(dialog);
                             QVERIFY(input);
                             QCOMPARE(input->textEchoMode(), QLineEdit::Password);
                             input->setTextValue(QStringLiteral("hasło"));
                             if (passwordGiven)
                               input->accept();
                             else
                               input->reject();
                           },
                           Press(QMessageBox::Ok, report)});
    form.btnImportujCertyfikat->click();
    QCOMPARE(watcher.Seen(), passwordGiven ? 3 : 2);
    if (!passwordGiven) {
      QVERIFY(imports.empty());
      return;
    }
    QCOMPARE(imports.size(), 1u);
    QCOMPARE(QString::fromStdString(imports[0].first), file);
    QCOMPARE(QString::fromStdString(imports[0].second), QStringLiteral("hasło"));
    QCOMPARE(report.text,
             QStringLiteral("Zainstalowano w magazynie certyfikatów:\nKREPTD "
                            "(wystawca: local;gitd;GITD SUB03 CA, ważny do 2026-01-01)"));
  }
};

QTEST_MAIN(CertificateDialogsTest)
#include "certificate_dialogs_test.moc"
