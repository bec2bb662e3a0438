// The VAT number check screen against vies-sim: what it shows for a registered and an
// unregistered number, and what a failed call or a missing field leaves.
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <memory>
#include <regex>

#include "app/form1.h"
#include "support/http_client.h"
#include "support/sim_process.h"
#include "support/window_test_support.h"
#include "vies-sim/synthetic_traders.h"

using zelvor::app::TForm1;
using zelvor::test::BoxSeen;
using zelvor::test::DialogWatcher;
using zelvor::test::Press;

namespace {

constexpr std::uint64_t kSeed = 5;

// The window, its VAT check transport pointed at the simulator, the requester filled in.
std::unique_ptr<TForm1> ViesForm(const zelvor::test::SimProcess& sim) {
  auto form = std::make_unique<TForm1>();
  form->HTTPRIO1->SetURL(sim.Url());
  form->edtNazRic->setText(QStringLiteral("IT"));
  form->edtPIVARic->setText(QStringLiteral("00743110157"));
  form->show();
  return form;
}

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

}  // namespace

class VatScreenTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    zelvor::test::PrepareTestApplication();
    sim_ = std::make_unique<zelvor::test::SimProcess>(
        zelvor::test::ViesSimPath(),
        std::vector<std::string>{"--seed", std::to_string(kSeed), "--request-date",
                                 "2024-12-04+01:00"});
  }
  void cleanupTestCase() { QCOMPARE(sim_->Stop(), 0); }
  void init() { zelvor::test::HttpClient().PostForm(sim_->Origin() + "/_sim/reset", ""); }

  void registeredNumberShowsTheTrader() {
    const std::string number = traders_.Numbers("PL", 1, true).front();
    const zelvor::sim::Trader trader = *traders_.Lookup("PL", number);
    const auto form = ViesForm(*sim_);
    form->Memo1->setPlainText(QStringLiteral("earlier result"));
    form->edtPIVAVer->setText(Q(number));
    BoxSeen box;
    DialogWatcher noDialog(Press(QMessageBox::Ok, box));
    auto busy = zelvor::test::BusyBarShows(form->pbPostep);
    form->btnVerify->click();
    QVERIFY(zelvor::test::WaitForAction(*form));
    QVERIFY2(noDialog.Seen() == 0, qPrintable(box.text));
    QCOMPARE(busy.Count(), 1);
    QVERIFY(form->pbPostep->isHidden());
    const QString date = QLocale::system().toString(QDate(2024, 12, 4), QLocale::ShortFormat);
    const QStringList lines = {"Data della richiesta: " + date,
                               "Nazione: PL",
                               "Identificativo fiscale: " + Q(number),
                               "Ragione Sociale: " + Q(trader.name),
                               "Indirizzo: " + Q(trader.Address()),
                               Q(trader.street),
                               Q(trader.postcode),
                               Q(trader.city),
                               Q(trader.companyType)};
    QCOMPARE(form->Memo1->toPlainText(), lines.join(u'\n'));
  }

  // The number is named exactly as typed, leading space included.
  void unregisteredNumberIsOneLine() {
    const std::string number = traders_.Numbers("PL", 1, false).front();
    const auto form = ViesForm(*sim_);
    form->Memo1->setPlainText(QStringLiteral("earlier result"));
    form->edtPIVAVer->setText(" " + Q(number));
    BoxSeen box;
    DialogWatcher noDialog(Press(QMessageBox::Ok, box));
    form->btnVerify->click();
    QVERIFY(zelvor::test::WaitForAction(*form));
    QVERIFY2(noDialog.Seen() == 0, qPrintable(box.text));
    QCOMPARE(form->Memo1->toPlainText(),
             "La Partita IVA  " + Q(number) +
                 " ricercata non è registrata come operatore Intracomunitario");
  }

  void failedCallLeavesTheResultAndShowsTheError() {
    const std::string number = traders_.Numbers("PL", 1, true).front();
    QCOMPARE(zelvor::test::HttpClient()
                 .PostForm(sim_->Origin() + "/_sim/fault", "kind=soap-fault&key=PL" + number)
                 .status,
             200L);
    const auto form = ViesForm(*sim_);
    form->Memo1->setPlainText(QStringLiteral("Nazione: PL"));
    form->edtPIVAVer->setText(Q(number));
    BoxSeen box;
    DialogWatcher watcher(Press(QMessageBox::Ok, box));
    form->btnVerify->click();
    QVERIFY(zelvor::test::WaitForAction(*form));
    QCOMPARE(watcher.Seen(), 1);
    QCOMPARE(box.icon, QMessageBox::Critical);
    // The fault's own text follows the Polish sentence, in parentheses.
    QVERIFY2(box.text.endsWith(QStringLiteral(" (MS_UNAVAILABLE)")), qPrintable(box.text));
    QCOMPARE(form->Memo1->toPlainText(), QStringLiteral("Nazione: PL"));
    QVERIFY(form->btnVerify->isEnabled());
  }

  void missingInputSendsNothing() {
    const auto form = ViesForm(*sim_);
    form->Memo1->setPlainText(QStringLiteral("Nazione: PL"));
    form->edtPIVAVer->clear();
    BoxSeen box;
    DialogWatcher watcher(Press(QMessageBox::Ok, box));
    form->btnVerify->click();
    QVERIFY(zelvor::test::WaitForAction(*form));
    QCOMPARE(watcher.Seen(), 1);
    QCOMPARE(box.icon, QMessageBox::Warning);
    QCOMPARE(form->Memo1->toPlainText(), QStringLiteral("Nazione: PL"));
    const std::string stats = zelvor::test::HttpClient().Get(sim_->Origin() + "/_sim/stats").body;
    QVERIFY2(std::regex_search(stats, std::regex(R"("requests":0\b)")), stats.c_str());
  }

 private:
  std::unique_ptr<zelvor::test::SimProcess> sim_;
  const zelvor::sim::SyntheticTraders traders_{kSeed};
};

QTEST_MAIN(VatScreenTest)
#include "vat_screen_test.moc"
