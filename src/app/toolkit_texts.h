// Qt's own texts (Yes, No, Cancel, the file dialogs) in the user's language.
#pragma once

#include <QStringList>
#include <QTranslator>

namespace zelvor::app {

// Where the toolkit's translations are looked for, in order: beside the program (as installed on
// Windows), then the system's Qt translations (as installed on Linux).
QStringList ToolkitTextFolders();

// Loads the translation of the system's language from the first folder that has one and installs
// it; false when none has.
bool InstallToolkitTexts(QTranslator& texts, const QStringList& folders);

}  // namespace zelvor::app
