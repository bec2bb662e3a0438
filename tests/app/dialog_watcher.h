#pragma once
// Answers the next modal dialog from inside its own event loop, the way a person would.

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <functional>

namespace zelvor::test {

class DialogWatcher {
 public:
  explicit DialogWatcher(std::function<void(QWidget*)> answer) : answer_(std::move(answer)) {
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      QWidget* dialog = QApplication::activeModalWidget();
      if (!dialog) return;
      timer_.stop();
      ++seen_;
      answer_(dialog);
    });
    timer_.start(5);
  }
  int Seen() const { return seen_; }

 private:
  std::function<void(QWidget*)> answer_;
  QTimer timer_;
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
