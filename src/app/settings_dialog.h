#pragma once
// "Ustawienia…": the settings file's keys, shown and edited. A field left empty keeps the
// build's value. Saving checks every value first, shows each refusal beside its field, and
// writes the file only when all can be used; the file keeps the user's comments and order.

#include <QDialog>
#include <QString>
#include <map>
#include <string>

#include "platform/settings_file.h"

class QLabel;
class QLineEdit;

namespace zelvor::app {

class SettingsDialog : public QDialog {
  Q_OBJECT

 public:
  // `settings`: what the file sets now (its path is where it is saved); `defaults`: the build's
  // value of each key, by its "[section] key", shown where the file sets none.
  SettingsDialog(const platform::SettingsFile& settings,
                 const std::map<std::string, std::string>& defaults, QWidget* parent = nullptr);

  // The settings as the fields hold them.
  platform::SettingsFile Edited() const;
  // Checks and writes the fields; false, with every refused value's problem shown beside its
  // field (or the file's problem below them all), when a value cannot be used or the file
  // cannot be written. accept() calls it.
  bool Save();
  void accept() override;

  QLineEdit* Field(const std::string& key) const { return fields_.at(key); }
  // What is wrong with the field of `key`, hidden while nothing is.
  QLabel* Problem(const std::string& key) const { return problems_.at(key); }
  // What is wrong with the file itself, hidden while nothing is.
  QLabel* Problem() const { return problem_; }

 private:
  platform::SettingsFile original_;
  std::map<std::string, QLineEdit*> fields_;
  std::map<std::string, QLabel*> problems_;
  QLabel* problem_ = nullptr;
};

}  // namespace zelvor::app
