#include "workbook/pending_save.h"

namespace zelvor::workbook {

PendingSave::~PendingSave() {
  if (running_.valid()) running_.wait();
}

void PendingSave::Start(std::function<void()> save) {
  Wait();
  running_ = std::async(std::launch::async, std::move(save));
}

void PendingSave::Wait() {
  if (!running_.valid()) return;
  std::future<void> save = std::move(running_);
  save.get();
}

}  // namespace zelvor::workbook
