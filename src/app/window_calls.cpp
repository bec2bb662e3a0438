#include "app/window_calls.h"

#include <QThread>
#include <QtGlobal>
#include <condition_variable>
#include <exception>

namespace zelvor::app {

WindowCalls::WindowCalls(QObject* parent) : QObject(parent) {}

void WindowCalls::Run(const std::function<void()>& call) {
  if (QThread::currentThread() == thread()) {
    call();
    return;
  }
  std::mutex doneMutex;
  std::condition_variable doneChanged;
  bool done = false;
  std::exception_ptr failure;
  Post([&] {
    try {
      call();
    } catch (...) {
      failure = std::current_exception();
    }
    std::lock_guard lock(doneMutex);
    done = true;
    doneChanged.notify_one();
  });
  std::unique_lock lock(doneMutex);
  doneChanged.wait(lock, [&] { return done; });
  if (failure) std::rethrow_exception(failure);
}

void WindowCalls::Post(std::function<void()> call) {
  {
    std::lock_guard lock(mutex_);
    handed_.push_back(std::move(call));
  }
  QMetaObject::invokeMethod(this, "RunHandedCalls", Qt::QueuedConnection);
}

// Runs every call handed so far, oldest first. A call that shows a dialog lets the wake-ups of
// later calls run them meanwhile, still one at a time and in order.
void WindowCalls::RunHandedCalls() {
  for (;;) {
    std::function<void()> next;
    {
      std::lock_guard lock(mutex_);
      if (handed_.empty()) return;
      next = std::move(handed_.front());
      handed_.pop_front();
    }
    try {
      next();
    } catch (const std::exception& e) {
      // Posted calls only show what a worker did; an exception must not unwind through Qt.
      qWarning("zelvor: a call handed to the window failed: %s", e.what());
    } catch (...) {
      qWarning("zelvor: a call handed to the window failed");
    }
  }
}

}  // namespace zelvor::app
