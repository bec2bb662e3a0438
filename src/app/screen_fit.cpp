#include "app/screen_fit.h"

#include <QApplication>
#include <QScreen>
#include <QStyle>
#include <QWidget>
#include <algorithm>

namespace zelvor::app {

QRect FittedGeometry(QSize wanted, QMargins frame, QRect available) {
  const QSize room = available.marginsRemoved(frame).size();
  const QSize size = wanted.boundedTo(room).expandedTo(QSize(1, 1));
  QRect outer = QRect(QPoint(0, 0), size).marginsAdded(frame);
  outer.moveCenter(available.center());
  // The title bar stays on the screen whatever the rounding.
  outer.moveTopLeft(
      QPoint(std::max(outer.left(), available.left()), std::max(outer.top(), available.top())));
  return outer.marginsRemoved(frame);
}

void PlaceOnScreen(QWidget& window) {
  QScreen* screen = window.screen() ? window.screen() : QApplication::primaryScreen();
  if (screen == nullptr) return;
  QMargins frame(window.geometry().left() - window.frameGeometry().left(),
                 window.geometry().top() - window.frameGeometry().top(),
                 window.frameGeometry().right() - window.geometry().right(),
                 window.frameGeometry().bottom() - window.geometry().bottom());
  if (frame.isNull()) {
    const int border = window.style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth);
    frame = QMargins(border, window.style()->pixelMetric(QStyle::PM_TitleBarHeight) + border,
                     border, border);
  }
  window.setGeometry(FittedGeometry(window.size(), frame, screen->availableGeometry()));
}

}  // namespace zelvor::app
