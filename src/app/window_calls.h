#pragma once
// Work that a worker thread hands to the window's thread, run there in the order it was handed.
// The hand-over goes through a mutex of its own, not only through Qt's event queue, so that the
// order of what both threads touch is plain to ThreadSanitizer as well.

#include <QObject>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <type_traits>

namespace zelvor::app {

class WindowCalls : public QObject {
  Q_OBJECT

 public:
  explicit WindowCalls(QObject* parent);

  // Runs `call` on the window's thread and waits for its end; at once when already there. What
  // it throws is thrown here.
  void Run(const std::function<void()>& call);

  // Run() for a call with an answer.
  template <class Call>
  auto Get(Call call) -> std::invoke_result_t<Call> {
    std::optional<std::invoke_result_t<Call>> answer;
    Run([&] { answer.emplace(call()); });
    return std::move(*answer);
  }

  // Runs `call` on the window's thread later, after what was handed before it.
  void Post(std::function<void()> call);

 private:
  Q_INVOKABLE void RunHandedCalls();

  std::mutex mutex_;
  std::deque<std::function<void()>> handed_;
};

}  // namespace zelvor::app
