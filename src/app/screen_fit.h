#pragma once
// Where the window opens: at its own size when the screen has room, else shrunk to the screen's
// available area (the window's contents scroll), centred, and never with its title bar off-screen.

#include <QMargins>
#include <QRect>
#include <QSize>

class QWidget;

namespace zelvor::app {

// The client area's geometry for a window whose frame adds `frame` around it.
QRect FittedGeometry(QSize wanted, QMargins frame, QRect available);

// Places the window on its screen (the primary one when it has none yet) by FittedGeometry, with
// the frame the window has, or the title bar's usual height before it was ever shown.
void PlaceOnScreen(QWidget& window);

}  // namespace zelvor::app
