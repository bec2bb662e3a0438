#include "app/toolkit_texts.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>

namespace zelvor::app {

QStringList ToolkitTextFolders() {
  return {QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("translations")),
          QLibraryInfo::path(QLibraryInfo::TranslationsPath)};
}

bool InstallToolkitTexts(QTranslator& texts, const QStringList& folders) {
  for (const QString& folder : folders) {
    if (texts.load(QLocale::system(), QStringLiteral("qtbase"), QStringLiteral("_"), folder))
      return QCoreApplication::installTranslator(&texts);
  }
  return false;
}

}  // namespace zelvor::app
