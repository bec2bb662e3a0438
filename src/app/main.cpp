// Zelvor: one window, run until it is closed.
#include <QApplication>
#include <QMessageBox>
#include <QScreen>
#include <QStyle>
#include <QTranslator>

#include "app/form1.h"
#include "app/screen_fit.h"
#include "app/toolkit_texts.h"
#include "platform/settings_file.h"
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

  QTranslator toolkitTexts;
  zelvor::app::InstallToolkitTexts(toolkitTexts, zelvor::app::ToolkitTextFolders());

  // A settings file that cannot be used is not guessed around: the window does not start with it.
  zelvor::platform::SettingsFile settings;
  try {
    settings = zelvor::platform::ReadSettingsFile(zelvor::platform::DefaultSettingsFile());
  } catch (const zelvor::platform::SettingsError& e) {
    // The message already starts with what to do, in Polish.
    QMessageBox::critical(nullptr, QStringLiteral("Zelvor"), QString::fromStdString(e.what()));
    return 1;
  }

  zelvor::app::TForm1 Form1({}, {}, settings);
  zelvor::app::PlaceOnScreen(Form1);
  Form1.show();
  return QApplication::exec();
}
