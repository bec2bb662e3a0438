#pragma once
// Answers the next modal dialog from inside its own event loop, the way a person would.

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QProgressBar>
#include <QTest>
#include <QTimer>
#include <functional>
#include <vector>

namespace zelvor::test {

// The window tests close windows without ending the program, and see the program's name.
inline void PrepareTestApplication() {
  QApplication::setQuitOnLastWindowClosed(false);
  QApplication::setApplicationName(QStringLiteral("Zelvor"));
}

// Lets the window work until the action it runs has ended and the window is restored; false
// when that takes longer than the time-out.
template <class Window>
bool WaitForAction(const Window& window, int timeoutMs = 60000) {
  return QTest::qWaitFor([&] { return !window.ActionRunning(); }, timeoutMs);
}

// Counts the events of one type an object receives; with `when`, those it holds for.
class EventCounter : public QObject {
 public:
  EventCounter(QObject* watched, QEvent::Type type, std::function<bool()> when = {})
      : type_(type), when_(std::move(when)) {
    watched->installEventFilter(this);
  }
  int Count() const { return count_; }

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == type_ && (!when_ || when_())) ++count_;
    return false;
  }

 private:
  QEvent::Type type_;
  std::function<bool()> when_;
  int count_ = 0;
};

// Counts the times a progress bar is shown as a busy bar, with no range.
inline EventCounter BusyBarShows(QProgressBar* bar) {
  return EventCounter(bar, QEvent::Show,
                      [bar] { return bar->minimum() == 0 && bar->maximum() == 0; });
}

class DialogWatcher {
 public:
  using Answer = std::function<void(QWidget*)>;
  // Answers the dialogs that open next, one answer each, in order.
  explicit DialogWatcher(std::vector<Answer> answers) : answers_(std::move(answers)) {
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      QWidget* dialog = QApplication::activeModalWidget();
      if (!dialog || dialog == last_) return;
      last_ = dialog;
      if (seen_ + 1 >= static_cast<int>(answers_.size())) timer_.stop();
      answers_[static_cast<std::size_t>(seen_++)](dialog);
    });
    timer_.start(5);
  }
  explicit DialogWatcher(Answer answer) : DialogWatcher(std::vector<Answer>{std::move(answer)}) {}
  int Seen() const { return seen_; }

 private:
  std::vector<Answer> answers_;
  QTimer timer_;
  QPointer<QWidget> last_;
  int seen_ = 0;
};

// What a message box showed.
struct BoxSeen {
  QString title;
  QString text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QMessageBox::StandardButtons buttons;
};

// Records the message box into `seen` and presses `press`.
inline std::function<void(QWidget*)> Press(QMessageBox::StandardButton press, BoxSeen& seen,
                                           std::function<void()> whileShown = {}) {
  return [press, &seen, whileShown](QWidget* dialog) {
    auto* box = qobject_cast<QMessageBox*>(dialog);
    if (!box) {
      dialog->close();
      return;
    }
    seen = {box->windowTitle(), box->text(), box->icon(), box->standardButtons()};
    if (whileShown) whileShown();
    if (QAbstractButton* button = box->button(press))
      button->click();
    else
      box->reject();
  };
}

}  // namespace zelvor::test
