// The window's certificate picker, asked by the register transport in the middle of the
// connection test when no certificate of the store matches the settings.
#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <memory>

#include "app/certificate_dialogs.h"
#include "app/form1.h"
#include "register/register_transport.h"
#include "support/scratch_folder.h"
#include "support/sim_process.h"
#include "support/test_pki.h"
#include "support/window_test_support.h"

using zelvor::app::CertificatePickerDialog;
using zelvor::app::TForm1;
using zelvor::test::DialogWatcher;

class CertificatePickerWindowTest : public QObject {
  Q_OBJECT

 private slots:
  // The register accepts certificates of the GITD issuer; the store holds one of them, issued to
  // a name other than the one the transport looks for.
  void initTestCase() {
    zelvor::test::PrepareTestApplication();
    using namespace zelvor::test;
    pki_ = std::make_unique<TestPki>();
    folder_ = std::make_unique<ScratchFolder>();
    const TestCertificate office =
        pki_->MakeClient({{"C", "PL"}, {"O", "Przewozy"}, {"CN", "Biuro"}}, "0B1C2D3E");
    AddPersonalCertificate(*folder_ / "store", "biuro", office, {&pki_->gitdSub03});
    AddTrustedIssuer(*folder_ / "store", "root", pki_->root);
    WriteCertificatesPem(*folder_ / "server.crt", {&pki_->server});
    WriteKeyPem(*folder_ / "server.key", *pki_->server.key);
    WriteCertificatesPem(*folder_ / "client-ca.crt", {&pki_->gitdSub03, &pki_->root});
    sim_ = std::make_unique<SimProcess>(
        RegisterSimPath(),
        std::vector<std::string>{"--cert", (*folder_ / "server.crt").string(), "--key",
                                 (*folder_ / "server.key").string(), "--client-ca",
                                 (*folder_ / "client-ca.crt").string(), "--size", "50"});
  }
  void cleanupTestCase() { QCOMPARE(sim_->Stop(), 0); }

  // While the person chooses, the test shows its busy signs but the ordinary cursor; the chosen
  // certificate is presented, and going on without one ends the run with the refusal.
  void pickerAsksDuringTheTest_data() {
    QTest::addColumn<bool>("choose");
    QTest::newRow("certificate chosen") << true;
    QTest::newRow("no certificate") << false;
  }
  void pickerAsksDuringTheTest() {
    QFETCH(bool, choose);
    TForm1 form({}, *folder_ / "store");
    form.State().registerAddress = sim_->Url();
    zelvor::reg::ApplyServiceUrl(*form.State().registerTransport, form.State().registerAddress);
    form.show();
    QStringList offered;
    bool busyShown = false;
    DialogWatcher watcher([&](QWidget* dialog) {
      auto* picker = qobject_cast<CertificatePickerDialog*>(dialog);
      if (!picker) {
        dialog->close();
        return;
      }
      const QCursor* cursor = QApplication::overrideCursor();
      busyShown = !form.btnTestPolaczenia->isEnabled() && !form.lbTestPolaczenia->isHidden() &&
                  !form.btnCartyfikat->isEnabled() && cursor && cursor->shape() == Qt::ArrowCursor;
      for (int row = 0; row < picker->Table()->rowCount(); ++row)
        offered << picker->Table()->item(row, 0)->text() + " " +
                       picker->Table()->item(row, 3)->text();
      if (!choose) return picker->reject();
      picker->Table()->selectRow(0);
      picker->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    form.btnTestPolaczenia->click();
    QVERIFY(zelvor::test::WaitForAction(form));

    QCOMPARE(watcher.Seen(), 1);
    QCOMPARE(offered, QStringList{QStringLiteral("Biuro 0B1C2D3E")});
    QVERIFY(busyShown);
    const QStringList lines = form.mTest->toPlainText().split(u'\n');
    if (choose) {
      QVERIFY2(lines.size() >= 5 && lines.front().startsWith(QStringLiteral("ilosc= ")),
               qPrintable(lines.join(u'|')));
    } else {
      QCOMPARE(lines.size(), 1);
      QVERIFY2(!lines.front().isEmpty() && !lines.front().startsWith(QStringLiteral("ilosc")),
               qPrintable(lines.front()));
    }
    QVERIFY(form.btnTestPolaczenia->isEnabled() && form.btnCartyfikat->isEnabled());
    QVERIFY(form.lbTestPolaczenia->isHidden());
    QVERIFY(!QApplication::overrideCursor());
  }

 private:
  std::unique_ptr<zelvor::test::TestPki> pki_;
  std::unique_ptr<zelvor::test::ScratchFolder> folder_;
  std::unique_ptr<zelvor::test::SimProcess> sim_;
};

QTEST_MAIN(CertificatePickerWindowTest)
#include "certificate_picker_window_test.moc"
