#pragma once
// The busy-sign conventions of the window: each action button with the labels that show
// exactly while it is disabled, the lock that keeps the other actions disabled while one runs,
// and the wait cursor that is put back however an action ends.

#include <QPointer>
#include <QWidget>
#include <vector>

class QAbstractButton;

namespace zelvor::app {

class ActionButtons {
 public:
  // Registers an action button and the busy labels bound to it.
  void Add(QAbstractButton* button, std::vector<QWidget*> busyLabels = {});

  // Enables or disables a button; its busy labels follow at once and are repainted.
  void SetEnabled(QAbstractButton* button, bool enabled);

  // Disables every other registered button that is enabled, leaving their labels hidden:
  // they are not busy, only unavailable while `running` runs.
  void LockOthers(QAbstractButton* running);
  void Unlock();
  bool Locked() const { return locked_; }

 private:
  struct Entry {
    QPointer<QAbstractButton> button;
    std::vector<QPointer<QWidget>> labels;
  };
  std::vector<Entry> entries_;
  std::vector<QPointer<QAbstractButton>> lockedButtons_;
  bool locked_ = false;
};

// The wait cursor shown over the whole program; Show and Hide nest.
class WaitCursor {
 public:
  void Show();
  void Hide();
  void HideAll();
  int Depth() const { return depth_; }

 private:
  int depth_ = 0;
};

// One run of a long action: the other actions locked, optionally its own button disabled and the
// wait cursor shown at once; on every way out its button is enabled again (its labels hide),
// the others are unlocked and the cursor shown before is back.
class LongActionScope {
 public:
  struct Style {
    bool disableOwnButton = true;
    bool waitCursor = false;
  };
  LongActionScope(ActionButtons& buttons, WaitCursor& cursor, QAbstractButton* own, Style style);
  ~LongActionScope();
  LongActionScope(const LongActionScope&) = delete;
  LongActionScope& operator=(const LongActionScope&) = delete;

 private:
  ActionButtons& buttons_;
  WaitCursor& cursor_;
  QPointer<QAbstractButton> own_;
  int cursorDepth_;
};

}  // namespace zelvor::app
