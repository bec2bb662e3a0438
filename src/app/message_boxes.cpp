#include "app/message_boxes.h"

#include <QCoreApplication>
#include <QMessageBox>

namespace zelvor::app {

namespace {
void ShowOkBox(QWidget* owner, QMessageBox::Icon icon, const QString& text) {
  QMessageBox box(icon, QCoreApplication::applicationName(), text, QMessageBox::Ok, owner);
  box.exec();
}
}  // namespace

QString WithFullStop(const QString& message) {
  if (message.isEmpty() || message.back().unicode() <= u'.') return message;
  return message + u'.';
}

bool AskYesNoBox(QWidget* owner, const QString& question, QPointer<QMessageBox>* shown) {
  const QString title = owner ? owner->window()->windowTitle() : QString();
  QMessageBox box(QMessageBox::NoIcon, title, question, QMessageBox::Yes | QMessageBox::No, owner);
  box.setEscapeButton(QMessageBox::No);
  if (shown) *shown = &box;
  const bool yes = box.exec() == QMessageBox::Yes;
  if (shown) *shown = nullptr;
  return yes;
}

void ShowErrorBox(QWidget* owner, const QString& message) {
  ShowOkBox(owner, QMessageBox::Critical, WithFullStop(message));
}

void ShowWarningBox(QWidget* owner, const QString& text) {
  ShowOkBox(owner, QMessageBox::Warning, text);
}

void ShowMessageBox(QWidget* owner, const QString& text) {
  ShowOkBox(owner, QMessageBox::NoIcon, text);
}

}  // namespace zelvor::app
