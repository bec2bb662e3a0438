// The jobs run from the window's buttons against register-sim, with the window's own file
// dialogs and question answered here as a person would.
#include <QCheckBox>
#include <QDateEdit>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <memory>

#include "support/failing_factory.h"
#include "support/register_sim_window.h"
#include "support/window_test_support.h"
#include "support/workbook_files.h"

using zelvor::test::BoxSeen;
using zelvor::test::DialogWatcher;
using zelvor::test::Press;
using zelvor::test::Q;
using zelvor::test::RegisterEnvironment;
using zelvor::test::RegisterSimWindow;
using zelvor::test::SheetRows;
using zelvor::test::ToQDate;

namespace {

QStringList Lines(const QPlainTextEdit* memo) {
  return memo->toPlainText().split(u'\n');
}

// Chooses `path` in the file dialog and accepts it as its Open or Save button does.
DialogWatcher::Answer ChooseFile(const QString& path, QString* proposed = nullptr) {
  return [path, proposed](QWidget* dialog) {
    auto* files = qobject_cast<QFileDialog*>(dialog);
    if (!files) {
      dialog->close();
      return;
    }
    if (proposed && !files->selectedFiles().isEmpty()) *proposed = files->selectedFiles().first();
    files->selectFile(path);
    static_cast<QDialog*>(files)->accept();
  };
}

// What the progress bar showed after each report of a job, and what the window was asked to
// open.
class RecordingWindow : public zelvor::app::TForm1 {
 public:
  using TForm1::TForm1;
  struct Bar {
    int value;
    int maximum;
    QString text;
    bool resultButtonShown;
  };
  std::vector<Bar> bars;
  QStringList opened;

  void ShowProgress(const zelvor::jobs::JobProgress& progress) override {
    TForm1::ShowProgress(progress);
    if (pbPostep->isVisible())
      bars.push_back(
          {pbPostep->value(), pbPostep->maximum(), pbPostep->text(), !btnOtworzWynik->isHidden()});
  }
  void OpenWithApplication(const std::string& path) override { opened << Q(path); }
};

}  // namespace

class WindowJobsTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    zelvor::test::PrepareTestApplication();
    env_ = std::make_unique<RegisterEnvironment>();
  }
  void cleanupTestCase() { env_.reset(); }

  void listRunFromItsButton() {
    const auto& hit = env_->Data().At(0);
    const std::string unknown = zelvor::test::UnknownValidNip(env_->Data());
    QTemporaryDir folder;
    const QString input = folder.filePath(QStringLiteral("klienci.xlsx"));
    zelvor::test::WriteWorkbook(input.toStdString(),
                                {{"NIP"}, {hit.NIP}, {"1234567890"}, {unknown}});

    const auto form = RegisterSimWindow(*env_);
    DialogWatcher watcher(ChooseFile(input));
    form->btnExcel_wyprwadz->click();
    QVERIFY(zelvor::test::WaitForAction(*form));
    QCOMPARE(watcher.Seen(), 1);

    const QStringList output = Lines(form->mOutput);
    QCOMPARE(output.size(), 6);
    QVERIFY2(output[0].startsWith("1;" + Q(hit.FirmaNazwa) + ";" + Q(hit.NIP) + ";"),
             qPrintable(output[0]));
    QCOMPARE(output[1], QStringLiteral("2;BŁĘDNY NUMER NIP - błąd sumy kontrolnej;1234567890;"));
    QCOMPARE(output[2], "3;BRAK w GITD;" + Q(unknown) + ";");
    QVERIFY2(output[3].startsWith(QStringLiteral("PODSUMOWANIE: rekordy: 3, znalezione: 1, ")),
             qPrintable(output[3]));
    const std::string result = folder.filePath("Wynik_Hdr_2024_03_31_09_30_00.xlsx").toStdString();
    QCOMPARE(output[4], "Plik wynikowy: " + Q(result));
    QCOMPARE(output[5], QStringLiteral("KONIEC"));

    const SheetRows annotated = zelvor::test::ReadSheet(input.toStdString());
    QCOMPARE(annotated.size(), 4u);
    QCOMPARE(Q(annotated[1].at(2)), Q(hit.FirmaNazwa));
    QCOMPARE(Q(annotated[3].at(2)), QStringLiteral("BRAK"));
    const SheetRows hdr = zelvor::test::ReadSheet(result);
    QCOMPARE(hdr.size(), 4u);
    QCOMPARE(Q(hdr[1].at(3)), Q(hit.NumerReferencyjny()));
    QVERIFY(form->btnExcel_wyprwadz->isEnabled() && form->btnPobierzDaneDzienne->isEnabled());
  }

  // The progress bar counts the records without the header row, with the rate and the time
  // left once there is a rate; it is gone at the end, and "Otwórz wynik" opens the result.
  void progressBarFollowsEachRecordAndTheResultOpens() {
    QTemporaryDir folder;
    const QString input = folder.filePath(QStringLiteral("klienci.xlsx"));
    zelvor::test::WriteWorkbook(
        input.toStdString(),
        {{"NIP"}, {env_->Data().At(1).NIP}, {"1234567890"}, {env_->Data().At(2).NIP}});
    const auto form = RegisterSimWindow<RecordingWindow>(*env_);
    QVERIFY(form->btnOtworzWynik->isHidden());
    DialogWatcher watcher(ChooseFile(input));
    form->btnExcel_wyprwadz->click();
    QVERIFY(zelvor::test::WaitForAction(*form));

    QCOMPARE(form->bars.size(), 4u);
    for (int done = 0; done <= 3; ++done) {
      const RecordingWindow::Bar& bar = form->bars[static_cast<std::size_t>(done)];
      QCOMPARE(bar.value, done);
      QCOMPARE(bar.maximum, 3);
      QVERIFY2(bar.text.startsWith(QStringLiteral("Rekordy: %1 z 3").arg(done)),
               qPrintable(bar.text));
      QCOMPARE(bar.text.contains(QStringLiteral(" · zostało ok. ")), done > 0);
    }
    QVERIFY(form->pbPostep->isHidden());
    QCOMPARE(form->sbPanels[zelvor::jobs::kProgressPanel]->text(), QStringLiteral("4/4"));

    const QString result = folder.filePath("Wynik_Hdr_2024_03_31_09_30_00.xlsx");
    QCOMPARE(Lines(form->mOutput).mid(3),
             (QStringList{Lines(form->mOutput)[3], "Plik wynikowy: " + result, "KONIEC"}));
    QVERIFY(!form->btnOtworzWynik->isHidden());
    form->btnOtworzWynik->click();
    QCOMPARE(form->opened, QStringList{result});

    // The next run hides it while it goes, and shows it again for its own result.
    form->bars.clear();
    DialogWatcher again(ChooseFile(input));
    form->btnExcel_wyprwadz->click();
    QVERIFY(zelvor::test::WaitForAction(*form));
    QVERIFY(!form->bars.empty());
    for (const RecordingWindow::Bar& bar : form->bars) QVERIFY(!bar.resultButtonShown);
    QVERIFY(!form->btnOtworzWynik->isHidden());
    form->btnOtworzWynik->click();
    QCOMPARE(form->opened.last(), folder.filePath("Wynik_Hdr_2024_03_31_09_30_00_2.xlsx"));
  }

  // A call the register holds back for 10 s: meanwhile the window switches tabs and repaints,
  // and the stop box, or closing the window and confirming, ends that call and the run while
  // the simulator still holds the answer. The record in flight is marked as interrupted; those
  // before it are kept in both workbooks.
  void aStopEndsAStalledCallAndTheRun_data() {
    QTest::addColumn<bool>("byClosing");
    QTest::newRow("stop box") << false;
    QTest::newRow("closing") << true;
  }
  void aStopEndsAStalledCallAndTheRun() {
    QFETCH(bool, byClosing);
    // A simulator of its own: the answer it holds back must not outlast the test.
    const RegisterEnvironment stalling;
    const auto& data = stalling.Data();
    std::vector<std::string> numbers;
    for (std::size_t i = 10; i < 15; ++i) numbers.push_back(data.At(i).NIP);
    QCOMPARE(stalling.InjectFault("stall:10000", numbers[2], 1), 200L);
    QTemporaryDir folder;
    const QString input = folder.filePath(QStringLiteral("klienci.xlsx"));
    zelvor::test::SheetRows rows{{"NIP"}};
    for (const std::string& number : numbers) rows.push_back({number});
    zelvor::test::WriteWorkbook(input.toStdString(), rows);

    const auto form = RegisterSimWindow(stalling);
    BoxSeen question;
    DialogWatcher watcher({ChooseFile(input), Press(QMessageBox::Yes, question)});
    form->btnExcel_wyprwadz->click();
    // Two records written and the third one's search held back by the simulator.
    QVERIFY(QTest::qWaitFor(
        [&] { return Lines(form->mOutput).size() >= 2 && stalling.InFlight() == 1; }, 10000));
    QVERIFY(form->ActionRunning());

    QCOMPARE(form->PC->currentWidget(), form->tsDzienne);
    zelvor::test::EventCounter painted(form->tsPlikExela, QEvent::Paint);
    QCoreApplication::postEvent(form->PC,
                                new QKeyEvent(QEvent::KeyPress, Qt::Key_Tab, Qt::ControlModifier));
    QVERIFY(QTest::qWaitFor([&] { return painted.Count() > 0; }, 5000));
    QCOMPARE(form->PC->currentWidget(), form->tsPlikExela);
    QCOMPARE(stalling.InFlight(), 1L);  // the tab switched while the call was in flight
    QVERIFY(form->ActionRunning());

    if (byClosing) {
      form->close();
      QCOMPARE(watcher.Seen(), 2);
    } else {
      form->chbStop->setChecked(true);
    }
    QVERIFY(zelvor::test::WaitForAction(*form, 5000));
    QCOMPARE(form->isVisible(), !byClosing);
    // The run is over and the simulator still holds the answer back: the stop did not wait
    // for it, nor was the call tried again or another record asked.
    QCOMPARE(stalling.InFlight(), 1L);
    QCOMPARE(stalling.Requests(), 2L + 2L + 1L);

    const QStringList output = Lines(form->mOutput);
    QCOMPARE(output.size(), 6);
    QCOMPARE(output[2], "3;PRZERWANE PRZEZ UŻYTKOWNIKA;" + Q(numbers[2]) + ";");
    QVERIFY2(output[3].endsWith(QStringLiteral("nieprzetworzone: 3")), qPrintable(output[3]));
    const SheetRows annotated = zelvor::test::ReadSheet(input.toStdString());
    QCOMPARE(Q(annotated[1].at(2)), Q(data.At(10).FirmaNazwa));
    QCOMPARE(Q(annotated[2].at(2)), Q(data.At(11).FirmaNazwa));
    QCOMPARE(Q(annotated[3].at(2)), QStringLiteral("PRZERWANE PRZEZ UŻYTKOWNIKA"));
    QCOMPARE(annotated[4].size(), 1u);
    const std::string result = folder.filePath("Wynik_Hdr_2024_03_31_09_30_00.xlsx").toStdString();
    const SheetRows hdr = zelvor::test::ReadSheet(result);
    QCOMPARE(hdr.size(), 4u);
    QCOMPARE(Q(hdr[2].at(1)), Q(data.At(11).FirmaNazwa));
    QVERIFY(form->pbPostep->isHidden());
  }

  // Closing the window while a run goes asks whether to stop it; when the run ends before the
  // question is answered, the question closes itself and the window closes, as asked.
  void aCloseQuestionTheRunsEndMadeMootClosesItself() {
    const RegisterEnvironment stalling;
    const std::vector<std::string> numbers = stalling.FirstNumbers(4);
    QCOMPARE(stalling.InjectFault("stall:1500", numbers[1], 1), 200L);
    QTemporaryDir folder;
    const QString input = folder.filePath(QStringLiteral("klienci.xlsx"));
    zelvor::test::WriteWorkbook(input.toStdString(),
                                {{"NIP"}, {numbers[0]}, {numbers[1]}, {numbers[2]}, {numbers[3]}});
    const auto form = RegisterSimWindow(stalling);
    QPointer<QWidget> question;
    DialogWatcher watcher({ChooseFile(input), [&](QWidget* box) {
                             question = box;
                             // Left unanswered; a guard ends the test should it stay open.
                             QTimer::singleShot(15000, box, &QWidget::close);
                           }});
    form->btnExcel_wyprwadz->click();
    QVERIFY(QTest::qWaitFor([&] { return stalling.InFlight() == 1; }, 10000));
    form->close();  // returns once the question is gone
    QCOMPARE(watcher.Seen(), 2);
    QVERIFY(question.isNull() || question->isHidden());
    QVERIFY(!form->ActionRunning());
    QVERIFY(!form->isVisible());
    QCOMPARE(zelvor::test::ReadSheet(input.toStdString())[4].at(2),
             stalling.Data().At(3).FirmaNazwa);  // the run went to its end
  }

  // The save dialog offers the dated name in the documents folder; the run saves where the
  // person chose, logs every enterprise of the day and asks whether to open the workbook.
  void periodRunFromItsButton() {
    const auto& data = env_->Data();
    const auto days = data.BusyDays(2);
    QVERIFY(!days.empty());
    const QDate day = ToQDate(days.front());
    const std::vector<std::size_t> certified = data.CertifiedBetween(days.front(), days.front());

    const auto form = RegisterSimWindow<RecordingWindow>(*env_);
    form->dpOdDaty->setDate(day);
    form->dpDoDaty->setDate(day);
    QTemporaryDir folder;
    const QString chosen = folder.filePath(QStringLiteral("okres.xlsx"));
    QString proposed;
    BoxSeen question;
    DialogWatcher watcher({ChooseFile(chosen, &proposed), Press(QMessageBox::No, question)});
    form->btnPobierzDaneDzienne->click();
    QVERIFY(zelvor::test::WaitForAction(*form));
    QCOMPARE(watcher.Seen(), 2);

    const QString stamp = day.toString(QStringLiteral("yyyyMMdd"));
    QCOMPARE(QFileInfo(proposed).fileName(),
             "Wynik_Day_Hdr-" + stamp + "-" + stamp + "_2024_03_31_09_30_00.xlsx");
    QCOMPARE(QDir::cleanPath(QFileInfo(proposed).absolutePath()),
             QDir::cleanPath(Q(form->DocumentsFolder())));
    QCOMPARE(question.text, "Powstał zbiór: " + chosen + ". Czy chcesz go otworzyć ?");

    const QStringList log = Lines(form->mLog1);
    QCOMPARE(log.first(), "Data=" + day.toString(Qt::ISODate));
    QVERIFY(log.contains(QStringLiteral("#002 Excel - uruchomiony poprawnie")));
    for (const std::size_t index : certified)
      QVERIFY2(log.contains(Q(data.At(index).NumerReferencyjny())),
               data.At(index).NumerReferencyjny().c_str());
    QCOMPARE(log[log.size() - 2], "Powstał zbiór: " + chosen);
    QVERIFY2(log.last().startsWith(QStringLiteral("PODSUMOWANIE: dni: 1, dni z błędem: 0, ")),
             qPrintable(log.last()));
    QCOMPARE(Lines(form->mOutput).size(), static_cast<int>(certified.size()));

    const SheetRows hdr = zelvor::test::ReadSheet(chosen.toStdString());
    QCOMPARE(hdr.size(), certified.size() + 1);
    QCOMPARE(Q(hdr[1].at(3)), Q(data.At(certified.front()).NIP));
    // The bar counts the day when it is done and each enterprise as it is written.
    QCOMPARE(form->bars.size(), certified.size() + 2);
    QCOMPARE(form->bars.front().text, QStringLiteral("Dni: 0 z 1 · zapisani przedsiębiorcy: 0"));
    QCOMPARE(form->bars[1].text, QStringLiteral("Dni: 0 z 1 · zapisani przedsiębiorcy: 1"));
    QCOMPARE(form->bars.back().text,
             QStringLiteral("Dni: 1 z 1 · zapisani przedsiębiorcy: %1").arg(certified.size()));
    QCOMPARE(form->bars.back().value, 1);
    QVERIFY(form->pbPostep->isHidden());
    QVERIFY(form->btnPobierzDaneDzienne->isEnabled());
    QVERIFY(form->lbPobieranie->isHidden() && form->lbPobieranieData->isHidden());
    QVERIFY(!QApplication::overrideCursor());
  }

  // A run whose records failed ends with a warning that gives the summary and the first error;
  // one where no look-up succeeded ends with an error box.
  void failedRecordsAreShownInABoxAtTheEnd_data() {
    QTest::addColumn<int>("found");
    QTest::addColumn<int>("icon");
    QTest::newRow("some failed") << 1 << int(QMessageBox::Warning);
    QTest::newRow("none succeeded") << 0 << int(QMessageBox::Critical);
  }
  void failedRecordsAreShownInABoxAtTheEnd() {
    QFETCH(int, found);
    QFETCH(int, icon);
    const auto& good = env_->Data().At(5);
    const auto& broken = env_->Data().At(6);
    QCOMPARE(env_->InjectFault("soap-fault", broken.NumerReferencyjny(), 1), 200L);
    QTemporaryDir folder;
    const QString input = folder.filePath(QStringLiteral("klienci.xlsx"));
    SheetRows rows{{"NIP"}, {broken.NIP}};
    if (found) rows.push_back({good.NIP});
    zelvor::test::WriteWorkbook(input.toStdString(), rows);

    const auto form = RegisterSimWindow(*env_);
    BoxSeen box;
    DialogWatcher watcher({ChooseFile(input), Press(QMessageBox::Ok, box)});
    form->btnExcel_wyprwadz->click();
    QVERIFY(zelvor::test::WaitForAction(*form));
    QCOMPARE(watcher.Seen(), 2);
    QCOMPARE(int(box.icon), icon);
    QVERIFY2(box.text.contains(QStringLiteral("błędy pobierania szczegółów: 1")),
             qPrintable(box.text));
    QVERIFY2(box.text.contains(QStringLiteral("Pierwszy błąd: ")), qPrintable(box.text));
    QCOMPARE(Lines(form->mOutput).last(), QStringLiteral("KONIEC"));
    QVERIFY(form->btnExcel_wyprwadz->isEnabled());
  }

  // A spreadsheet component that cannot start ends the list run in the error box.
  void spreadsheetFailureReachesTheErrorBox() {
    using zelvor::test::FailingFactory;
    using zelvor::test::Operation;
    const auto form = RegisterSimWindow(*env_);
    form->SetSpreadsheetFactory(
        std::make_unique<FailingFactory>(FailingFactory::FailFrom(Operation::Start)));
    BoxSeen box;
    DialogWatcher watcher(Press(QMessageBox::Ok, box));
    form->btnExcel_wyprwadz->click();
    QVERIFY(zelvor::test::WaitForAction(*form));
    QCOMPARE(watcher.Seen(), 1);
    QCOMPARE(box.icon, QMessageBox::Critical);
    const QString message = Q(zelvor::test::InjectedFailureMessage(Operation::Start));
    QVERIFY2(box.text.startsWith(message), qPrintable(box.text));
    QCOMPARE(Lines(form->mOutput), QStringList{message});
    QVERIFY(form->btnExcel_wyprwadz->isEnabled());
  }

 private:
  std::unique_ptr<RegisterEnvironment> env_;
};

QTEST_MAIN(WindowJobsTest)
#include "window_jobs_test.moc"
