// The main window on the offscreen platform: its start state, its message boxes, the VAT
// screen's input check and the busy signs of jobs.
#include "app/form1.h"

#include <QAbstractScrollArea>
#include <QCheckBox>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QWheelEvent>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <thread>

#include "app/screen_fit.h"
#include "support/window_test_support.h"

using zelvor::app::TForm1;
using zelvor::jobs::Action;
using zelvor::jobs::StopBox;
using zelvor::test::BoxSeen;
using zelvor::test::DialogWatcher;
using zelvor::test::Press;
using zelvor::test::WaitForAction;

namespace {

std::unique_ptr<TForm1> StartedOn(QDate date) {
  auto form = std::make_unique<TForm1>([date] { return QDateTime(date, QTime(10, 15, 30)); });
  form->show();
  return form;
}

bool IsValidNip(const QString& text) {
  static constexpr int kWeights[] = {6, 5, 7, 2, 3, 4, 5, 6, 7};
  if (text.size() != 10) return false;
  int sum = 0;
  for (int i = 0; i < 9; ++i) sum += kWeights[i] * text[i].digitValue();
  return sum % 11 == text[9].digitValue();
}

// Every action button but the one given; none of them may be pressed while an action runs.
QList<QPushButton*> OtherActions(const TForm1& form, const QPushButton* running) {
  QList<QPushButton*> others;
  for (QPushButton* b : {form.btnPobierzDaneDzienne, form.btnExcel_wyprwadz, form.btnTestPolaczenia,
                         form.btnCartyfikat, form.btnImportujCertyfikat, form.btnVerify,
                         form.btnDzialaj, form.Button1})
    if (b != running) others.append(b);
  return others;
}

}  // namespace

class Form1Test : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { zelvor::test::PrepareTestApplication(); }

  // 1366×768 at a scale of 1.5 leaves about 910×480 logical pixels above a taskbar.
  void windowFitsTheScreen_data() {
    QTest::addColumn<QRect>("available");
    QTest::addColumn<QSize>("size");
    QTest::newRow("room to spare: own size") << QRect(0, 0, 1920, 1040) << QSize(922, 648);
    QTest::newRow("1366x768 at 1.5: shrunk") << QRect(0, 0, 910, 480) << QSize(902, 446);
    QTest::newRow("too low only") << QRect(0, 0, 1366, 600) << QSize(922, 566);
    QTest::newRow("second screen left of the first")
        << QRect(-1280, 0, 1280, 500) << QSize(922, 466);
  }
  void windowFitsTheScreen() {
    QFETCH(QRect, available);
    QFETCH(QSize, size);
    const QMargins frame(4, 30, 4, 4);
    const QRect client = zelvor::app::FittedGeometry(QSize(922, 648), frame, available);
    QCOMPARE(client.size(), size);
    const QRect outer = client.marginsAdded(frame);
    QVERIFY(available.contains(outer));
    QVERIFY(std::abs(outer.center().x() - available.center().x()) <= 1);
    QVERIFY(std::abs(outer.center().y() - available.center().y()) <= 1);
  }

  // Shrunk below its contents' smallest size, the window's contents scroll so that every control
  // can be reached.
  void everyControlIsReachableInASmallWindow() {
    const auto form = StartedOn(QDate(2024, 3, 31));
    // 1280×720 at a scale of 2 leaves less than the contents' smallest size.
    form->resize(620, 320);
    QCoreApplication::processEvents();
    for (QWidget* page : {form->tsDzienne, form->tsPlikExela, form->tsTestPoloczenia}) {
      form->PC->setCurrentWidget(page);
      QCoreApplication::processEvents();
      QWidget* viewport = form->contentScroll->viewport();
      for (QWidget* control : page->findChildren<QWidget*>()) {
        if (!control->isVisible() ||
            !(qobject_cast<QPushButton*>(control) || qobject_cast<QDateEdit*>(control) ||
              qobject_cast<QCheckBox*>(control)))
          continue;
        form->contentScroll->ensureWidgetVisible(control, 0, 0);
        QCoreApplication::processEvents();
        const QRect shown(control->mapTo(viewport, QPoint(0, 0)), control->size());
        QVERIFY2(viewport->rect().contains(shown), qPrintable(control->objectName()));
      }
    }
  }

  // The file dialogs start where the person last chose a file, in this run and the next one.
  void fileDialogsStartInTheFolderLastUsed() {
    QTemporaryDir scratch;
    QVERIFY(scratch.isValid());
    const QString chosenFolder = scratch.filePath(QStringLiteral("Klienci – Łódź"));
    QVERIFY(QDir().mkpath(chosenFolder));
    const QString chosen = chosenFolder + QStringLiteral("/lista.xlsx");
    QFile(chosen).open(QIODevice::WriteOnly);
    zelvor::platform::SettingsFile settings;
    settings.path = scratch.filePath(QStringLiteral("zelvor.conf")).toStdString();

    QString startedIn;
    const auto pick = [&](TForm1& form, const QString& path) {
      DialogWatcher answer([&](QWidget* dialog) {
        auto* files = qobject_cast<QFileDialog*>(dialog);
        if (!files) return dialog->close(), void();
        startedIn = files->directory().absolutePath();
        files->selectFile(path);
        static_cast<QDialog*>(files)->accept();
      });
      return form.PickFileToOpen();
    };
    {
      TForm1 first({}, {}, settings);
      QCOMPARE(pick(first, chosen), std::optional<std::string>(chosen.toStdString()));
      QVERIFY(startedIn != chosenFolder);
      pick(first, chosen);
      QCOMPARE(startedIn, chosenFolder);
    }
    TForm1 next({}, {}, settings);
    pick(next, chosen);
    QCOMPARE(startedIn, chosenFolder);
  }

  void startDates_data() {
    QTest::addColumn<QDate>("today");
    QTest::addColumn<QDate>("from");
    QTest::newRow("31 March, leap year") << QDate(2024, 3, 31) << QDate(2024, 2, 29);
    QTest::newRow("31 March") << QDate(2023, 3, 31) << QDate(2023, 2, 28);
    QTest::newRow("15 January") << QDate(2024, 1, 15) << QDate(2023, 12, 15);
    QTest::newRow("31 May") << QDate(2024, 5, 31) << QDate(2024, 4, 30);
  }
  void startDates() {
    QFETCH(QDate, today);
    QFETCH(QDate, from);
    const auto form = StartedOn(today);
    QCOMPARE(form->dpOdDaty->date(), from);
    QCOMPARE(form->dpDoDaty->date(), today);
  }

  void startState() {
    const auto form = StartedOn(QDate(2024, 3, 31));
    QCOMPARE(form->windowTitle(), QStringLiteral("2024-12-04"));
    QCOMPARE(form->PanelHeader->text(),
             QStringLiteral("Pobieranie danych z GITD  -  BAZA PRODUKCYJNA "));

    const QStringList captions = {"Dane za okres", "Plik Excela", "Test Połączenia", "tsTmp"};
    QCOMPARE(form->PC->count(), captions.size());
    for (int i = 0; i < captions.size(); ++i) QCOMPARE(form->PC->tabText(i), captions[i]);
    QCOMPARE(form->PC->currentWidget(), form->tsDzienne);
    QVERIFY(form->PC->isTabVisible(0) && form->PC->isTabVisible(1) && form->PC->isTabVisible(2));
    QVERIFY(!form->PC->isTabVisible(form->PC->indexOf(form->tsTmp)));

    for (QLabel* label : {form->lbPobieranie, form->lbPobieranieData, form->lbTestPolaczenia})
      QVERIFY2(label->isHidden(), qPrintable(label->objectName()));
    for (QPlainTextEdit* memo : {form->mLog1, form->mOutput, form->mTest, form->Memo1})
      QVERIFY2(memo->toPlainText().isEmpty(), qPrintable(memo->objectName()));
    QVERIFY(!form->chbStop->isChecked());
    QVERIFY(!form->chbStop1->isChecked());
    QVERIFY(form->btnDzialaj->isHidden());
    QVERIFY(form->Button1->isHidden());
    QCOMPARE(form->btnDzialaj->text(), QStringLiteral("Test "));
    QCOMPARE(form->Button1->text(), QStringLiteral("Utworz nowy plik excela - TEST"));
    QVERIFY(form->btnDzialaj->font().strikeOut());

    const QStringList samples = form->mNIP->toPlainText().split(u'\n');
    QCOMPARE(samples.size(), 23);
    for (const QString& nip : samples) QVERIFY2(IsValidNip(nip), qPrintable(nip));
    QVERIFY(IsValidNip(form->edtPIVAVer->text()) && IsValidNip(form->edtPIVARic->text()));
    QCOMPARE(form->edtNazVer->text(), QStringLiteral("PL"));

    const QString endpoint = QString::fromStdString(form->State().registerAddress);
    QVERIFY2(endpoint.startsWith("https://") && endpoint.endsWith(":8447/CitizenApi.svc"),
             qPrintable(endpoint));
    QCOMPARE(form->State().registerTransport->URL(), form->State().registerAddress);
    const QString vies = QString::fromStdString(form->HTTPRIO1->URL());
    QVERIFY2(vies.startsWith("http://") &&
                 vies.endsWith("/taxation_customs/vies/services/zelvorService"),
             qPrintable(vies));
    const std::array<int, 4> widths = {50, 150, 150, 50};
    for (std::size_t i = 0; i < widths.size(); ++i) QCOMPARE(form->sbPanels[i]->width(), widths[i]);
    QCOMPARE(form->PanelHeader->height(), 41);
  }

  // No key, wheel or tab-bar move shows the hidden VAT tab: each way of going to the next or
  // previous tab, from the tabs beside it, stays among the visible ones.
  void theHiddenTabIsNeverReached_data() {
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("onTabBar");
    const int ctrl = Qt::ControlModifier, ctrlShift = Qt::ControlModifier | Qt::ShiftModifier;
    QTest::newRow("Ctrl+Tab from the last") << 2 << int(Qt::Key_Tab) << ctrl << false;
    QTest::newRow("Ctrl+Shift+Tab from the first")
        << 0 << int(Qt::Key_Backtab) << ctrlShift << false;
    QTest::newRow("Ctrl+PgDown from the last") << 2 << int(Qt::Key_PageDown) << ctrl << false;
    QTest::newRow("Ctrl+PgUp from the first") << 0 << int(Qt::Key_PageUp) << ctrl << false;
    QTest::newRow("Right on the tab bar from the last") << 2 << int(Qt::Key_Right) << 0 << true;
    QTest::newRow("End on the tab bar") << 0 << int(Qt::Key_End) << 0 << true;
  }
  void theHiddenTabIsNeverReached() {
    QFETCH(int, from);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(bool, onTabBar);
    const auto form = StartedOn(QDate(2024, 3, 31));
    form->PC->setCurrentIndex(from);
    QWidget* target =
        onTabBar ? static_cast<QWidget*>(form->PC->tabBar()) : form->PC->currentWidget();
    for (int press = 0; press < 4; ++press) {
      QTest::keyClick(target, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
      QVERIFY2(form->PC->currentWidget() != form->tsTmp, qPrintable(QString::number(press)));
    }
    for (const int delta : {-120, 120}) {
      form->PC->setCurrentIndex(delta < 0 ? 2 : 0);
      QWheelEvent wheel(QPointF(5, 5), form->PC->tabBar()->mapToGlobal(QPointF(5, 5)), QPoint(),
                        QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
      QCoreApplication::sendEvent(form->PC->tabBar(), &wheel);
      QVERIFY(form->PC->currentWidget() != form->tsTmp);
    }
  }

  // Tab moves out of every text box, the logs included, and types nothing into it.
  void tabLeavesEveryTextBox() {
    const auto form = StartedOn(QDate(2024, 3, 31));
    form->show();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    const QList<QAbstractScrollArea*> boxes =
        form->findChildren<QAbstractScrollArea*>(QString(), Qt::FindChildrenRecursively);
    int tried = 0;
    for (QAbstractScrollArea* box : boxes) {
      auto* plain = qobject_cast<QPlainTextEdit*>(box);
      auto* rich = qobject_cast<QTextEdit*>(box);
      if (!plain && !rich) continue;
      for (int tab = 0; tab < form->PC->count(); ++tab) {
        if (form->PC->widget(tab)->isAncestorOf(box)) form->PC->setCurrentIndex(tab);
      }
      if (!box->isVisible()) continue;  // the hidden tab's
      const QString before = plain ? plain->toPlainText() : rich->toPlainText();
      box->setFocus();
      QVERIFY(box->hasFocus());
      QTest::keyClick(box, Qt::Key_Tab);
      QVERIFY2(!box->hasFocus(), qPrintable(box->objectName()));
      QCOMPARE(plain ? plain->toPlainText() : rich->toPlainText(), before);
      ++tried;
    }
    QVERIFY(tried >= 3);
  }

  void vatFieldsTurnTypingIntoUpperCase() {
    const auto form = StartedOn(QDate(2024, 3, 31));
    form->edtNazVer->clear();
    QTest::keyClicks(form->edtNazVer, "it");
    QCOMPARE(form->edtNazVer->text(), QStringLiteral("IT"));
  }

  void errorBoxAddsAFullStop_data() {
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("shown");
    QTest::newRow("letter") << "Brak połączenia"
                            << "Brak połączenia.";
    QTest::newRow("Polish letter") << "Błąd zapisu: ść"
                                   << "Błąd zapisu: ść.";
    QTest::newRow("digit") << "HTTP 500"
                           << "HTTP 500.";
    QTest::newRow("full stop") << "Koniec."
                               << "Koniec.";
    QTest::newRow("exclamation mark") << "Uwaga!"
                                      << "Uwaga!";
    QTest::newRow("blank") << "Koniec "
                           << "Koniec ";
    QTest::newRow("hyphen") << "a-"
                            << "a-";
    QTest::newRow("slash") << "a/"
                           << "a/.";
    QTest::newRow("empty") << ""
                           << "";
  }
  void errorBoxAddsAFullStop() {
    QFETCH(QString, message);
    QFETCH(QString, shown);
    const auto form = StartedOn(QDate(2024, 3, 31));
    BoxSeen box;
    bool restoredBeforeBox = false;
    DialogWatcher watcher(Press(QMessageBox::Ok, box, [&] {
      restoredBeforeBox = form->btnPobierzDaneDzienne->isEnabled() &&
                          form->lbPobieranie->isHidden() && form->btnExcel_wyprwadz->isEnabled();
    }));
    form->RunJob(Action::PeriodJob, [message](zelvor::jobs::JobContext&) {
      throw std::runtime_error(message.toStdString());
    });
    QVERIFY(WaitForAction(*form));
    QCOMPARE(watcher.Seen(), 1);
    QCOMPARE(box.text, shown);
    QCOMPARE(box.icon, QMessageBox::Critical);
    QCOMPARE(box.title, QStringLiteral("Zelvor"));
    QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QVERIFY(restoredBeforeBox);
  }

  void askYesNo_data() {
    QTest::addColumn<int>("press");
    QTest::addColumn<bool>("answer");
    QTest::newRow("Yes") << int(QMessageBox::Yes) << true;
    QTest::newRow("No") << int(QMessageBox::No) << false;
  }
  void askYesNo() {
    QFETCH(int, press);
    QFETCH(bool, answer);
    const auto form = StartedOn(QDate(2024, 3, 31));
    BoxSeen box;
    DialogWatcher watcher(Press(QMessageBox::StandardButton(press), box));
    const std::string question = "Powstał zbiór: /tmp/a.xlsx. Czy chcesz go otworzyć ?";
    QCOMPARE(form->AskYesNo(question), answer);
    QCOMPARE(box.text, QString::fromStdString(question));
    QCOMPARE(box.title, QStringLiteral("2024-12-04"));
    QCOMPARE(box.icon, QMessageBox::NoIcon);
    QCOMPARE(box.buttons, QMessageBox::Yes | QMessageBox::No);
  }

  void verifyInputsFilled_data() {
    QTest::addColumn<QString>("countryVer");
    QTest::addColumn<QString>("numberVer");
    QTest::addColumn<QString>("countryRic");
    QTest::addColumn<QString>("numberRic");
    QTest::addColumn<QString>("warning");
    const QString toVerify = "La Nazione e la Partita IVA da verificare sono obbligatori";
    const QString requester = "La Nazione e la Partita IVA del richiedente sono obbligatori";
    QTest::newRow("all filled") << "PL"
                                << "5754391636"
                                << "PL"
                                << "8079007496"
                                << "";
    QTest::newRow("number with a leading space") << "PL"
                                                 << " 5754391636"
                                                 << "PL"
                                                 << "1"
                                                 << "";
    QTest::newRow("country to verify only spaces, requester empty") << "   "
                                                                    << "5754391636"
                                                                    << ""
                                                                    << "" << toVerify;
    QTest::newRow("number to verify only a tab") << "PL"
                                                 << "\t"
                                                 << "PL"
                                                 << "1" << toVerify;
    QTest::newRow("requester empty") << "PL"
                                     << "5754391636"
                                     << ""
                                     << "" << requester;
    QTest::newRow("requester number blank") << "PL"
                                            << "1"
                                            << "PL"
                                            << " \n " << requester;
  }
  void verifyInputsFilled() {
    QFETCH(QString, countryVer);
    QFETCH(QString, numberVer);
    QFETCH(QString, countryRic);
    QFETCH(QString, numberRic);
    QFETCH(QString, warning);
    const auto form = StartedOn(QDate(2024, 3, 31));
    form->edtNazVer->setText(countryVer);
    form->edtPIVAVer->setText(numberVer);
    form->edtNazRic->setText(countryRic);
    form->edtPIVARic->setText(numberRic);
    BoxSeen box;
    DialogWatcher watcher(Press(QMessageBox::Ok, box));
    QCOMPARE(form->VerifyInputsFilled(), warning.isEmpty());
    QCOMPARE(watcher.Seen(), warning.isEmpty() ? 0 : 1);
    QCOMPARE(box.text, warning);
    if (!warning.isEmpty()) QCOMPARE(box.icon, QMessageBox::Warning);
  }

  // A job's own cursor and busy signs are put back even when it leaves them on and fails.
  void jobLeftBusyIsRestoredAfterAnError() {
    const auto form = StartedOn(QDate(2024, 3, 31));
    BoxSeen box;
    DialogWatcher watcher(Press(QMessageBox::Ok, box));
    bool labelsShown = false;
    form->RunJob(Action::PeriodJob, [&](zelvor::jobs::JobContext& ctx) {
      ctx.host.SetActionRunning(Action::PeriodJob, true);
      ctx.host.SetWaitCursor(true);
      ctx.host.SetWaitCursor(true);
      form->OnWindowThread([&] {
        labelsShown = !form->lbPobieranie->isHidden() && !form->lbPobieranieData->isHidden();
      });
      throw std::runtime_error("#003 Excel - błąd uruchomienia");
    });
    QVERIFY(WaitForAction(*form));
    QVERIFY(labelsShown);
    QCOMPARE(box.text, QStringLiteral("#003 Excel - błąd uruchomienia."));
    QVERIFY(!QApplication::overrideCursor());
    QVERIFY(form->btnPobierzDaneDzienne->isEnabled());
    QVERIFY(form->lbPobieranie->isHidden() && form->lbPobieranieData->isHidden());
    for (QPushButton* other : OtherActions(*form, form->btnPobierzDaneDzienne))
      QVERIFY2(other->isEnabled(), qPrintable(other->objectName()));
  }

  // While a job runs, only its stop box and the date pickers stay live; the other actions
  // are disabled without showing their busy labels.
  void otherActionsAreDisabledWhileAJobRuns() {
    const auto form = StartedOn(QDate(2024, 3, 31));
    form->btnDzialaj->setEnabled(false);  // disabled for its own reasons: must stay so
    QStringList enabledWhileRunning;
    bool labelsHidden = false, stopBoxesAndDatesLive = false, checked = false;
    form->RunJob(Action::NipListJob, [&](zelvor::jobs::JobContext&) {
      form->OnWindowThread([&] {
        if (form->btnExcel_wyprwadz->isEnabled()) enabledWhileRunning << "btnExcel_wyprwadz";
        for (QPushButton* other : OtherActions(*form, form->btnExcel_wyprwadz))
          if (other->isEnabled()) enabledWhileRunning << other->objectName();
        labelsHidden = form->lbPobieranie->isHidden() && form->lbTestPolaczenia->isHidden();
        stopBoxesAndDatesLive = form->chbStop->isEnabled() && form->chbStop1->isEnabled() &&
                                form->dpDoDaty->isEnabled();
        checked = true;
      });
    });
    QVERIFY(WaitForAction(*form));
    QVERIFY(checked);
    QCOMPARE(enabledWhileRunning, QStringList());
    QVERIFY(labelsHidden && stopBoxesAndDatesLive);
    for (QPushButton* b : OtherActions(*form, form->btnDzialaj))
      QVERIFY2(b->isEnabled(), qPrintable(b->objectName()));
    QVERIFY(!form->btnDzialaj->isEnabled());
  }

  // Closing while a job runs asks first; Yes ticks the job's stop box and the window closes
  // once the job has finished its record; No lets the job go on. The job runs on the worker,
  // so the close comes while it works, as a person's would.
  void closingWhileAJobRunsAsksFirst_data() {
    QTest::addColumn<int>("press");
    QTest::addColumn<bool>("closes");
    QTest::newRow("Yes") << int(QMessageBox::Yes) << true;
    QTest::newRow("No") << int(QMessageBox::No) << false;
  }
  void closingWhileAJobRunsAsksFirst() {
    QFETCH(int, press);
    QFETCH(bool, closes);
    const auto form = StartedOn(QDate(2024, 3, 31));
    BoxSeen box;
    DialogWatcher watcher(Press(QMessageBox::StandardButton(press), box));
    constexpr int kRecords = 40;
    std::atomic<int> records = 0;
    form->RunJob(Action::PeriodJob, [&](zelvor::jobs::JobContext& ctx) {
      ctx.host.SetActionRunning(Action::PeriodJob, true);
      for (; records < kRecords; ++records) {
        if (ctx.host.StopRequested(StopBox::Period)) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
      }
    });
    QVERIFY(QTest::qWaitFor([&] { return records >= 2; }));
    form->close();
    const bool visibleAfterClose = form->isVisible();
    QVERIFY(WaitForAction(*form));
    QCOMPARE(watcher.Seen(), 1);
    QCOMPARE(box.title, QStringLiteral("2024-12-04"));
    QCOMPARE(box.buttons, QMessageBox::Yes | QMessageBox::No);
    QVERIFY(visibleAfterClose);
    QCOMPARE(records < kRecords, closes);
    QCOMPARE(form->chbStop1->isChecked(), closes);
    QCOMPARE(form->isVisible(), !closes);
    QVERIFY(form->btnPobierzDaneDzienne->isEnabled());
  }

  void closingWhenIdleDoesNotAsk() {
    const auto form = StartedOn(QDate(2024, 3, 31));
    DialogWatcher watcher([](QWidget* dialog) { dialog->close(); });
    form->State().taxNumbersSeen.Insert("NIP5754391636NIP");
    QVERIFY(form->close());
    QCOMPARE(watcher.Seen(), 0);
    QVERIFY(!form->isVisible());
    QVERIFY(form->State().taxNumbersSeen.empty());
  }
};

QTEST_MAIN(Form1Test)
#include "form1_test.moc"
