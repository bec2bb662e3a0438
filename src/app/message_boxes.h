#pragma once
// The program's message boxes: the yes/no question, the error box and the plain boxes.

#include <QMessageBox>
#include <QPointer>
#include <QString>

class QWidget;

namespace zelvor::app {

// An error's message as the error box shows it: a full stop is added unless the message is
// empty or already ends in a character whose code is at most that of ".".
QString WithFullStop(const QString& message);

// Yes and No, no icon, titled with the owner's caption; true for Yes. Given `shown`, it points
// at the box while it is open, so that the caller may close it when the question is moot.
bool AskYesNoBox(QWidget* owner, const QString& question, QPointer<QMessageBox>* shown = nullptr);

// Error icon and OK, titled with the application's name.
void ShowErrorBox(QWidget* owner, const QString& message);

// Warning icon and OK, titled with the application's name.
void ShowWarningBox(QWidget* owner, const QString& text);

// No icon and OK, titled with the application's name.
void ShowMessageBox(QWidget* owner, const QString& text);

}  // namespace zelvor::app
