#include "app/settings_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <QWidget>

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

QLabel* ProblemLabel(const QString& name) {
  auto* label = new QLabel;
  label->setObjectName(name);
  label->setWordWrap(true);
  label->setStyleSheet(QStringLiteral("color: #b00020"));
  label->hide();
  return label;
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
    // The field and, under it, what is wrong with its value.
    auto* problem = ProblemLabel(QString::fromStdString(key + " problem"));
    connect(edit, &QLineEdit::textEdited, problem, &QLabel::hide);
    auto* cell = new QWidget;
    auto* column = new QVBoxLayout(cell);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(2);
    column->addWidget(edit);
    column->addWidget(problem);
    form->addRow(Labels().at(key), cell);
    fields_[key] = edit;
    problems_[key] = problem;
  }
  auto* where = new QLabel(QStringLiteral("Plik ustawień: %1\nPuste pole: wartość domyślna.")
                               .arg(QString::fromStdString(platform::PathText(settings.path))));
  where->setWordWrap(true);
  problem_ = ProblemLabel(QStringLiteral("problem"));
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
  const platform::SettingsFile edited = Edited();
  const std::map<std::string, std::string> refused = platform::SettingsProblems(edited);
  for (const auto& [key, label] : problems_) {
    const auto found = refused.find(key);
    label->setText(found == refused.end() ? QString() : QString::fromStdString(found->second));
    label->setVisible(found != refused.end());
    // A form row does not grow for a wrapped label by itself: it gets the height its lines take
    // at the field's width.
    label->setMinimumHeight(
        found == refused.end() ? 0 : label->heightForWidth(fields_.at(key)->width()));
  }
  problem_->hide();
  // The sentences wrap under their fields: the dialog grows to show them whole.
  layout()->activate();
  adjustSize();
  if (!refused.empty()) return false;
  try {
    platform::WriteSettingsFile(edited);
    return true;
  } catch (const platform::SettingsError& e) {
    problem_->setText(QString::fromStdString(e.what()));
    problem_->show();
    return false;
  }
}

void SettingsDialog::accept() {
  if (Save()) QDialog::accept();
}

}  // namespace zelvor::app
