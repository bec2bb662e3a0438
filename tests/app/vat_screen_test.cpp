// The VAT number check screen: what it sends, what it shows, and what a failure leaves.
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <stdexcept>

#include "app/form1.h"
#include "app/window_test_support.h"

using zelvor::app::TForm1;
using zelvor::app::VatAnswer;
using zelvor::app::VatQuery;
using zelvor::test::BoxSeen;
using zelvor::test::DialogWatcher;
using zelvor::test::Press;
using namespace std::chrono;

Q_DECLARE_METATYPE(VatAnswer)

class VatScreenTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { zelvor::test::PrepareTestApplication(); }

  void answerReplacesTheResult_data() {
    QTest::addColumn<VatAnswer>("answer");
    QTest::addColumn<QStringList>("lines");
    const year_month_day day = year{2024} / December / 4;
    const QString date = QLocale::system().toString(QDate(2024, 12, 4), QLocale::ShortFormat);

    const auto answer = [](bool valid, std::optional<year_month_day> requestDate) {
      VatAnswer a;
      a.valid = valid;
      a.requestDate = requestDate;
      a.countryCode = "PL";
      a.vatNumber = "5754391636";
      return a;
    };
    const QStringList withoutTrader = {"Nazione: PL",
                                       "Identificativo fiscale: 5754391636",
                                       "Ragione Sociale: ",
                                       "Indirizzo: ",
                                       "",
                                       "",
                                       "",
                                       ""};
    VatAnswer full = answer(true, day);
    full.traderName = "PRZEWOZY ŁÓDŹ SP. Z O.O.";
    full.traderAddress = "UL. PIOTRKOWSKA 1, 90-001 ŁÓDŹ";
    full.traderStreet = "UL. PIOTRKOWSKA 1";
    full.traderPostcode = "90-001";
    full.traderCity = "ŁÓDŹ";
    full.traderCompanyType = "SPZOO";

    QTest::newRow("not registered")
        << answer(false, day)
        << QStringList{
               "La Partita IVA  5754391636 ricercata non è registrata come operatore "
               "Intracomunitario"};
    QTest::newRow("registered, no trader data")
        << answer(true, day) << QStringList{"Data della richiesta: " + date} + withoutTrader;
    QTest::newRow("registered, no request date")
        << answer(true, std::nullopt) << QStringList{"Data della richiesta: "} + withoutTrader;
    QTest::newRow("registered with trader data")
        << full
        << QStringList{"Data della richiesta: " + date,
                       "Nazione: PL",
                       "Identificativo fiscale: 5754391636",
                       "Ragione Sociale: PRZEWOZY ŁÓDŹ SP. Z O.O.",
                       "Indirizzo: UL. PIOTRKOWSKA 1, 90-001 ŁÓDŹ",
                       "UL. PIOTRKOWSKA 1",
                       "90-001",
                       "ŁÓDŹ",
                       "SPZOO"};
  }
  void answerReplacesTheResult() {
    QFETCH(VatAnswer, answer);
    QFETCH(QStringList, lines);
    TForm1 form;
    form.show();
    form.Memo1->setPlainText(QStringLiteral("earlier result"));
    form.edtPIVAVer->setText(QStringLiteral(" 5754391636"));  // a leading space counts as filled
    form.edtNazRic->setText(QStringLiteral("IT"));
    form.edtPIVARic->setText(QStringLiteral("00743110157"));
    std::vector<VatQuery> sent;
    form.SetVatCheck([&](const VatQuery& query) {
      sent.push_back(query);
      return answer;
    });
    DialogWatcher noDialog([](QWidget* dialog) { dialog->close(); });
    form.btnVerify->click();
    QCOMPARE(noDialog.Seen(), 0);
    QCOMPARE(sent.size(), 1u);
    QCOMPARE(sent[0].countryCode, "PL");
    QCOMPARE(sent[0].vatNumber, " 5754391636");
    QCOMPARE(sent[0].requesterCountryCode, "IT");
    QCOMPARE(sent[0].requesterVatNumber, "00743110157");
    QCOMPARE(form.Memo1->toPlainText().split(u'\n'), lines);
  }

  void failedCallLeavesTheResultAndShowsTheError() {
    TForm1 form;
    form.show();
    form.Memo1->setPlainText(QStringLiteral("Nazione: PL"));
    form.SetVatCheck(
        [](const VatQuery&) -> VatAnswer { throw std::runtime_error("Connection refused"); });
    BoxSeen box;
    DialogWatcher watcher(Press(QMessageBox::Ok, box));
    form.btnVerify->click();
    QCOMPARE(watcher.Seen(), 1);
    QCOMPARE(box.icon, QMessageBox::Critical);
    QCOMPARE(box.text, QStringLiteral("Connection refused."));
    QCOMPARE(form.Memo1->toPlainText(), QStringLiteral("Nazione: PL"));
    QVERIFY(form.btnVerify->isEnabled());
  }

  void missingInputSendsNothing() {
    TForm1 form;
    form.show();
    form.Memo1->setPlainText(QStringLiteral("Nazione: PL"));
    form.edtPIVAVer->clear();
    bool called = false;
    form.SetVatCheck([&](const VatQuery&) {
      called = true;
      return VatAnswer{};
    });
    BoxSeen box;
    DialogWatcher watcher(Press(QMessageBox::Ok, box));
    form.btnVerify->click();
    QCOMPARE(watcher.Seen(), 1);
    QCOMPARE(box.icon, QMessageBox::Warning);
    QVERIFY(!called);
    QCOMPARE(form.Memo1->toPlainText(), QStringLiteral("Nazione: PL"));
  }
};

QTEST_MAIN(VatScreenTest)
#include "vat_screen_test.moc"
