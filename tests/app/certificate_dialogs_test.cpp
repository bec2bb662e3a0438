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
#include <memory>

#include "app/form1.h"
#include "support/test_pki.h"
#include "support/window_test_support.h"

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
  void initTestCase() {
    zelvor::test::PrepareTestApplication();
    pki_ = std::make_unique<zelvor::test::SimulatorPki>();
  }

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

  // The view lists the store's personal certificates; a key that others may read is refused
  // in the error box, naming the file.
  void certificateButtonShowsTheStore_data() {
    QTest::addColumn<bool>("keyPrivate");
    QTest::newRow("key private to its owner") << true;
    QTest::newRow("key readable by others") << false;
  }
  void certificateButtonShowsTheStore() {
    QFETCH(bool, keyPrivate);
    QTemporaryDir store;
    const QString personal = store.filePath(QStringLiteral("personal/kreptd.pem"));
    QDir(store.path()).mkpath(QStringLiteral("personal"));
    QVERIFY(Concatenate(personal, {pki_->Files().clientCertificate, pki_->Files().clientKey}));
    QFile::setPermissions(personal, keyPrivate ? QFile::ReadOwner | QFile::WriteOwner
                                               : QFile::ReadOwner | QFile::WriteOwner |
                                                     QFile::ReadOther | QFile::ReadGroup);
    TForm1 form({}, store.path().toStdString());
    form.show();
    QStringList shown;
    BoxSeen error;
    DialogWatcher watcher([&](QWidget* dialog) {
      if (auto* view = qobject_cast<CertificateViewDialog*>(dialog)) {
        for (int col = 0; col < view->Table()->columnCount(); ++col)
          shown << view->Table()->item(0, col)->text();
        return view->reject();
      }
      Press(QMessageBox::Ok, error)(dialog);
    });
    form.btnCartyfikat->click();
    QCOMPARE(watcher.Seen(), 1);
    if (!keyPrivate) {
      QCOMPARE(error.icon, QMessageBox::Critical);
      QVERIFY2(error.text.contains(QStringLiteral("kreptd.pem")), qPrintable(error.text));
      return;
    }
    QCOMPARE(shown.size(), 6);
    QCOMPARE(shown[0], QStringLiteral("KREPTD"));
    QCOMPARE(shown[1], QStringLiteral("PL;Zelvor;KREPTD"));
    QCOMPARE(shown[2], QStringLiteral("local;gitd;GITD SUB03 CA"));
    // Made today for two days.
    QCOMPARE(QDate::fromString(shown[5], Qt::ISODate),
             QDate::fromString(shown[4], Qt::ISODate).addDays(2));
  }

  // The file is picked, then its password is asked for; the certificate lands in the store.
  // Cancelling at the password imports nothing.
  void importAsksForTheFileAndItsPassword_data() {
    QTest::addColumn<bool>("passwordGiven");
    QTest::newRow("password given") << true;
    QTest::newRow("cancelled at the password") << false;
  }
  void importAsksForTheFileAndItsPassword() {
    QFETCH(bool, passwordGiven);
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("kreptd.p12"));
    zelvor::test::WritePkcs12(file.toStdString(), pki_->Client(), {}, "hasło");
    QTemporaryDir store;
    TForm1 form({}, store.path().toStdString());
    form.show();
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
    const QStringList installed =
        QDir(store.filePath(QStringLiteral("personal"))).entryList(QDir::Files, QDir::Name);
    if (!passwordGiven) {
      QVERIFY(installed.isEmpty());
      return;
    }
    QCOMPARE(installed, QStringList({"kreptd.crt", "kreptd.key"}));
    QVERIFY2(
        report.text.startsWith(QStringLiteral("Zainstalowano w magazynie certyfikatów:\nKREPTD "
                                              "(wystawca: local;gitd;GITD SUB03 CA, ważny do ")),
        qPrintable(report.text));
  }

 private:
  static bool Concatenate(const QString& target, const std::vector<std::string>& parts) {
    QFile out(target);
    if (!out.open(QIODevice::WriteOnly)) return false;
    for (const std::string& part : parts) {
      QFile in(QString::fromStdString(part));
      if (!in.open(QIODevice::ReadOnly)) return false;
      out.write(in.readAll());
    }
    return true;
  }

  std::unique_ptr<zelvor::test::SimulatorPki> pki_;
};

QTEST_MAIN(CertificateDialogsTest)
#include "certificate_dialogs_test.moc"
