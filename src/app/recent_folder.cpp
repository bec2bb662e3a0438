#include "app/recent_folder.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace zelvor::app {
namespace {

constexpr char kKey[] = "dialogs/folder";

QString StateFileName(const std::filesystem::path& file) {
  return QString::fromStdU16String(file.u16string());
}

}  // namespace

RecentFolder::RecentFolder(std::filesystem::path stateFile) : stateFile_(std::move(stateFile)) {
  if (stateFile_.empty()) return;
  folder_ = QSettings(StateFileName(stateFile_), QSettings::IniFormat).value(kKey).toString();
}

QString RecentFolder::Folder() const {
  return !folder_.isEmpty() && QDir(folder_).exists() ? folder_ : QString();
}

void RecentFolder::Remember(const QString& chosenFile) {
  folder_ = QFileInfo(chosenFile).absolutePath();
  if (stateFile_.empty()) return;
  // A state file that cannot be written only loses the convenience, never the person's work.
  QSettings state(StateFileName(stateFile_), QSettings::IniFormat);
  state.setValue(kKey, folder_);
}

}  // namespace zelvor::app
