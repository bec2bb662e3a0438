#pragma once
// A workbook's save that finishes in the background while the job goes on. Writing the file and
// flushing it to disk costs milliseconds of waiting even for a small file; a job that saves every
// few rows would otherwise spend more time waiting than looking up. One save at a time: the next
// one, or Wait, waits for it and raises its failure.

#include <functional>
#include <future>

namespace zelvor::workbook {

class PendingSave {
 public:
  PendingSave() = default;
  PendingSave(const PendingSave&) = delete;
  PendingSave& operator=(const PendingSave&) = delete;
  // Waits for a save still running; its failure is dropped, as nobody is left to hear of it.
  ~PendingSave();

  // Waits for the save before (raising its failure) and starts `save`.
  void Start(std::function<void()> save);
  // Returns once the save started last has ended; raises its failure.
  void Wait();

 private:
  std::future<void> running_;
};

}  // namespace zelvor::workbook
