// The connection test of the window against register-sim: the lines of a good run, the line a
// failure leaves, and the busy signs put back either way.
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QUrl>
#include <memory>

#include "support/register_sim_window.h"
#include "support/window_test_support.h"

using zelvor::test::DialogWatcher;
using zelvor::test::Q;
using zelvor::test::RegisterEnvironment;
using zelvor::test::RegisterSimWindow;

namespace {

// A loopback port where nothing listens: bound once for a number, then let go.
int ClosedPort() {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  bind(fd, reinterpret_cast<sockaddr*>(&address), length);
  getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  close(fd);
  return ntohs(address.sin_port);
}

}  // namespace

class ConnectionTestWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    zelvor::test::PrepareTestApplication();
    env_ = std::make_unique<RegisterEnvironment>();
  }
  void cleanupTestCase() { env_.reset(); }

  void goodRunShowsTheFirstHitAndItsDetails() {
    const auto& data = env_->Data();
    const std::vector<std::size_t> certified = data.CertifiedBetween({1999, 12, 6}, {2024, 9, 24});
    QVERIFY(!certified.empty());
    const auto& first = data.At(certified.front());
    const auto& managers = first.ListaZarzadzajacyTransportemDaneWyszukane();
    const auto& permits = first.ListaZezwolenieNaWykonywanieZawoduPrzewoznikaDrogowegoTyp();
    QVERIFY(!managers.empty() && !permits.empty() && permits.front()->DataWydania);

    const auto form = RegisterSimWindow(*env_);
    form->mTest->setPlainText(QStringLiteral("earlier run"));
    DialogWatcher noDialog([](QWidget* dialog) { dialog->close(); });
    auto busy = zelvor::test::BusyBarShows(form->pbPostep);
    form->btnTestPolaczenia->click();
    QVERIFY(zelvor::test::WaitForAction(*form));
    QCOMPARE(busy.Count(), 1);
    QVERIFY(form->pbPostep->isHidden());

    const QStringList expected = {
        "earlier run",
        "ilosc= " + QString::number(certified.size()),
        Q(first.FirmaNazwa),
        Q(first.NIP),
        Q(first.NumerReferencyjny()),
        Q(first.FormaPrawna()),
        Q(managers.front()->Nazwisko),
        Q(managers.front()->Imiona()),
        QLocale::system().toString(zelvor::test::ToQDate(permits.front()->DataWydania->Date()),
                                   QLocale::ShortFormat),
        Q(permits.front()->OrganWydajacy)};
    QCOMPARE(form->mTest->toPlainText().split(u'\n'), expected);
    QCOMPARE(noDialog.Seen(), 0);
    ExpectRestored(*form);
  }

  // A window given only a settings file's register, store and selector talks to that register,
  // and its header says it is not the production one; without settings it is.
  void settingsFileKeysReachTheRegister() {
    zelvor::platform::SettingsFile settings;
    settings.registerUrl = zelvor::platform::SetValue{env_->Url(), 2};
    settings.store = zelvor::platform::SetValue{env_->StoreFolder().string(), 4};
    settings.name = zelvor::platform::SetValue{"", 5};
    zelvor::app::TForm1 form({}, {}, settings);
    form.show();
    DialogWatcher noDialog([](QWidget* dialog) { dialog->close(); });
    const long before = env_->Requests();
    form.btnTestPolaczenia->click();
    QVERIFY(zelvor::test::WaitForAction(form));
    QVERIFY(form.mTest->toPlainText().startsWith(QStringLiteral("ilosc= ")));
    QCOMPARE(env_->Requests() - before, 2);
    QCOMPARE(noDialog.Seen(), 0);
    const QUrl url(QString::fromStdString(env_->Url()));
    QCOMPARE(
        form.PanelHeader->text(),
        QStringLiteral("Pobieranie danych z GITD  -  BAZA TESTOWA: 127.0.0.1:%1 ").arg(url.port()));

    zelvor::app::TForm1 production;
    QCOMPARE(production.PanelHeader->text(),
             QStringLiteral("Pobieranie danych z GITD  -  BAZA PRODUKCYJNA "));
  }

  // A failure becomes the run's last line below what the run already showed; no box is shown.
  void failureIsTheRunsLastLine_data() {
    QTest::addColumn<QString>("failure");
    QTest::addColumn<int>("linesBefore");
    QTest::addColumn<QString>("lastLine");
    QTest::newRow("register fault on the search")
        << "search" << 0 << "Wewnętrzny błąd serwera. Spróbuj ponownie później.";
    QTest::newRow("HTTP error on the details") << "details" << 4 << "Service Unavailable";
    QTest::newRow("nothing listening") << "closed port" << 0 << "Couldn't connect to server";
  }
  void failureIsTheRunsLastLine() {
    QFETCH(QString, failure);
    QFETCH(int, linesBefore);
    QFETCH(QString, lastLine);
    const auto& data = env_->Data();
    const auto& first = data.At(data.CertifiedBetween({1999, 12, 6}, {2024, 9, 24}).front());
    std::unique_ptr<zelvor::app::TForm1> form;
    if (failure == "search") {
      QCOMPARE(env_->InjectFault("soap-fault", "1999-12-06"), 200L);
    } else if (failure == "details") {
      QCOMPARE(env_->InjectFault("http-503", first.NumerReferencyjny()), 200L);
    }
    form = failure == "closed port"
               ? RegisterSimWindow(
                     *env_, "https://127.0.0.1:" + std::to_string(ClosedPort()) + "/CitizenApi.svc")
               : RegisterSimWindow(*env_);
    form->mTest->setPlainText(QStringLiteral("earlier run"));
    DialogWatcher noDialog([](QWidget* dialog) { dialog->close(); });
    form->btnTestPolaczenia->click();
    QVERIFY(zelvor::test::WaitForAction(*form));

    const QStringList lines = form->mTest->toPlainText().split(u'\n');
    QCOMPARE(lines.size(), 2 + linesBefore);
    QCOMPARE(lines.front(), QStringLiteral("earlier run"));
    if (linesBefore > 0) QCOMPARE(lines[2], Q(first.FirmaNazwa));
    QVERIFY2(lines.back().contains(lastLine), qPrintable(lines.back()));
    QCOMPARE(noDialog.Seen(), 0);
    ExpectRestored(*form);
  }

 private:
  static void ExpectRestored(const zelvor::app::TForm1& form) {
    QVERIFY(form.btnTestPolaczenia->isEnabled());
    QVERIFY(form.btnCartyfikat->isEnabled());
    QVERIFY(form.btnExcel_wyprwadz->isEnabled());
    QVERIFY(form.lbTestPolaczenia->isHidden());
    QVERIFY(!QApplication::overrideCursor());
  }

  std::unique_ptr<RegisterEnvironment> env_;
};

QTEST_MAIN(ConnectionTestWindowTest)
#include "connection_test_window_test.moc"
