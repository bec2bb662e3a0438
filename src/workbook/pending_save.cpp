#include "workbook/pending_save.h"

#include "workbook/atomic_save.h"
#include "workbook/errors.h"
#include "workbook/polish_messages.h"

namespace zelvor::workbook {

PendingSave::~PendingSave() {
  if (running_.valid()) running_.wait();
}

void PendingSave::Save(const std::string& path,
                       const std::function<std::vector<ZipEntry>()>& package) {
  Wait();
  std::vector<ZipEntry> entries;
  try {
    entries = package();
  } catch (const EWorkbookError& e) {
    throw EWorkbookError(SaveFailure(path, e.what()));
  }
  auto write = [entries = std::move(entries)](const std::string& temp) { WriteZip(temp, entries); };
  if (path != savedPath_) {
    SaveAtomically(path, write);
    savedPath_ = path;
    return;
  }
  // The entries hold only compressed bytes that no later change alters.
  running_ = std::async(std::launch::async,
                        [write = std::move(write), path] { SaveAtomically(path, write); });
}

void PendingSave::Wait() {
  if (!running_.valid()) return;
  std::future<void> save = std::move(running_);
  save.get();
}

}  // namespace zelvor::workbook
