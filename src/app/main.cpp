// Zelvor: one window, run until it is closed.
#include <QApplication>
#include <QScreen>
#include <QStyle>

#include "app/form1.h"

int main(int argc, char* argv[]) {
  // Follow each monitor's scale exactly, fractional ones included.
  QGuiApplication::setHighDpiScaleFactorRoundingPolicy(
      Qt::HighDpiScaleFactorRoundingPolicy::PassThrough);
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Zelvor"));

  zelvor::app::TForm1 Form1;
  Form1.setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, Form1.size(),
                                        QApplication::primaryScreen()->availableGeometry()));
  Form1.show();
  return QApplication::exec();
}
