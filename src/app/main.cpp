// Zelvor: one window, run until it is closed.
#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QScreen>
#include <QStyle>
#include <QTranslator>

#include "app/form1.h"
#include "register/citizen_api.h"
#include "vies/vat_port_type.h"
#include "zelvor/build_settings.h"

int main(int argc, char* argv[]) {
  zelvor::reg::RegisterCitizenApi();
  zelvor::vies::RegisterVatPortType();
  // Follow each monitor's scale exactly, fractional ones included.
  QGuiApplication::setHighDpiScaleFactorRoundingPolicy(
      Qt::HighDpiScaleFactorRoundingPolicy::PassThrough);
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Zelvor"));
  QApplication::setApplicationVersion(QString::fromUtf8(zelvor::build::kVersion));

  // The toolkit's own texts (Yes, No, Cancel, the file dialogs) in the user's language, where
  // the desktop has Qt's translations installed.
  QTranslator toolkitTexts;
  if (toolkitTexts.load(QLocale::system(), QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QApplication::installTranslator(&toolkitTexts);

  zelvor::app::TForm1 Form1;
  Form1.setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, Form1.size(),
                                        QApplication::primaryScreen()->availableGeometry()));
  Form1.show();
  return QApplication::exec();
}
