#pragma once
// The folder the person last chose a file in, where the next file dialog starts; kept in a small
// state file beside the settings, so that it holds between runs of the program.

#include <QString>
#include <filesystem>

namespace zelvor::app {

class RecentFolder {
 public:
  // An empty state file keeps the folder for this run of the program only.
  explicit RecentFolder(std::filesystem::path stateFile = {});

  // The folder last chosen, or empty when none was, or when it is gone.
  QString Folder() const;
  // Remembers the folder of a file the person chose.
  void Remember(const QString& chosenFile);

 private:
  std::filesystem::path stateFile_;
  QString folder_;
};

}  // namespace zelvor::app
