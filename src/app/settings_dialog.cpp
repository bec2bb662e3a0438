#include "app/settings_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace zelvor::app {
namespace {

// Each key's label in the dialog.
const std::map<std::string, QString>& Labels() {
  static const std::map<std::string, QString> labels = {
      {"[register] url", QStringLiteral("Adres rejestru (https)")},
      {"[register] connections", QStringLiteral("Liczba połączeń z rejestrem (1–8)")},
      {"[vat] url", QStringLiteral("Adres usługi VAT")},
      {"[certificate] store", QStringLiteral("Folder magazynu certyfikatów")},
      {"[certificate] name", QStringLiteral("Certyfikat: nazwa")},
      {"[certificate] issuer", QStringLiteral("Certyfikat: wystawca")},
      {"[certificate] subject", QStringLiteral("Certyfikat: podmiot")},
      {"[certificate] serial",
       QStringLiteral("Certyfikat: numer seryjny (38 cyfr szesnastkowych)")},
  };
  return labels;
}

}  // namespace

SettingsDialog::SettingsDialog(const platform::SettingsFile& settings,
                               const std::map<std::string, std::string>& defaults, QWidget* parent)
    : QDialog(parent), original_(settings) {
  setObjectName(QStringLiteral("SettingsDialog"));
  setWindowTitle(QStringLiteral("Ustawienia"));
  auto* form = new QFormLayout;
  for (const auto& [key, field] : platform::SettingsFields()) {
    auto* edit = new QLineEdit;
    edit->setObjectName(QString::fromStdString(key));
    if (const auto& value = settings.*field) edit->setText(QString::fromStdString(value->value));
    if (const auto found = defaults.find(key); found != defaults.end())
      edit->setPlaceholderText(QString::fromStdString(found->second));
    edit->setMinimumWidth(420);
    form->addRow(Labels().at(key), edit);
    fields_[key] = edit;
  }
  auto* where = new QLabel(QStringLiteral("Plik ustawień: %1\nPuste pole: wartość domyślna.")
                               .arg(QString::fromStdString(settings.path.string())));
  where->setWordWrap(true);
  problem_ = new QLabel;
  problem_->setObjectName(QStringLiteral("problem"));
  problem_->setWordWrap(true);
  problem_->setStyleSheet(QStringLiteral("color: #b00020"));
  problem_->hide();
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Save | QDialogButtonBox::Cancel);
  connect(buttons, &QDialogButtonBox::accepted, this, &SettingsDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &SettingsDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(where);
  layout->addWidget(problem_);
  layout->addWidget(buttons);
}

platform::SettingsFile SettingsDialog::Edited() const {
  platform::SettingsFile edited;
  edited.path = original_.path;
  edited.found = original_.found;
  for (const auto& [key, field] : platform::SettingsFields()) {
    const QString text = fields_.at(key)->text().trimmed();
    if (!text.isEmpty()) edited.*field = platform::SetValue{text.toStdString(), 0};
  }
  return edited;
}

bool SettingsDialog::Save() {
  try {
    platform::WriteSettingsFile(Edited());
    problem_->hide();
    return true;
  } catch (const platform::SettingsError& e) {
    problem_->setText(QStringLiteral("Nie zapisano: %1").arg(QString::fromStdString(e.what())));
    problem_->show();
    return false;
  }
}

void SettingsDialog::accept() {
  if (Save()) QDialog::accept();
}

}  // namespace zelvor::app
