#include "app/action_buttons.h"

#include <QAbstractButton>
#include <QApplication>
#include <algorithm>

namespace zelvor::app {

void ActionButtons::Add(QAbstractButton* button, std::vector<QWidget*> busyLabels) {
  Entry entry{button, {}};
  for (QWidget* label : busyLabels) entry.labels.emplace_back(label);
  entries_.push_back(std::move(entry));
  SetEnabled(button, button->isEnabled());
}

void ActionButtons::SetEnabled(QAbstractButton* button, bool enabled) {
  button->setEnabled(enabled);
  auto entry = std::find_if(entries_.begin(), entries_.end(),
                            [button](const Entry& e) { return e.button == button; });
  if (entry == entries_.end()) return;
  for (const QPointer<QWidget>& label : entry->labels) {
    if (!label) continue;
    label->setVisible(!enabled);
    label->repaint();
  }
}

void ActionButtons::LockOthers(QAbstractButton* running) {
  if (locked_) return;
  locked_ = true;
  for (const Entry& e : entries_) {
    if (!e.button || e.button == running || !e.button->isEnabled()) continue;
    e.button->setEnabled(false);
    lockedButtons_.push_back(e.button);
  }
}

void ActionButtons::Unlock() {
  for (const QPointer<QAbstractButton>& button : lockedButtons_)
    if (button) button->setEnabled(true);
  lockedButtons_.clear();
  locked_ = false;
}

void WaitCursor::Show() {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  ++depth_;
}

void WaitCursor::Hide() {
  if (depth_ == 0) return;
  QApplication::restoreOverrideCursor();
  --depth_;
}

void WaitCursor::HideAll() {
  while (depth_ > 0) Hide();
}

LongActionScope::LongActionScope(ActionButtons& buttons, WaitCursor& cursor, QAbstractButton* own,
                                 Style style)
    : buttons_(buttons), cursor_(cursor), own_(own), cursorDepth_(cursor.Depth()) {
  buttons_.LockOthers(own);
  if (style.disableOwnButton) buttons_.SetEnabled(own, false);
  if (style.waitCursor) cursor_.Show();
}

LongActionScope::~LongActionScope() {
  while (cursor_.Depth() > cursorDepth_) cursor_.Hide();
  if (own_) buttons_.SetEnabled(own_, true);
  buttons_.Unlock();
}

}  // namespace zelvor::app
