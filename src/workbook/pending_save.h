#pragma once
// How a workbook's package reaches its file. The first save to a file is done before the call
// returns, so that a wrong path fails right there; a save over the file saved last finishes in the
// background while the job goes on, since writing the file and flushing it to disk costs
// milliseconds of waiting even for a small file, and a job that saves every few rows would
// otherwise spend more time waiting than looking up. One save at a time: the next one, or Wait,
// waits for it and raises its failure.

#include <functional>
#include <future>
#include <string>
#include <vector>

#include "workbook/zip_writer.h"

namespace zelvor::workbook {

class PendingSave {
 public:
  PendingSave() = default;
  PendingSave(const PendingSave&) = delete;
  PendingSave& operator=(const PendingSave&) = delete;
  // Waits for a save still running; its failure is dropped, as nobody is left to hear of it.
  ~PendingSave();

  // Waits for the save before (raising its failure), then saves the entries `package` gives as
  // `path`, atomically. Throws EWorkbookError naming the path.
  void Save(const std::string& path, const std::function<std::vector<ZipEntry>()>& package);
  // Returns once the save started last has ended; raises its failure.
  void Wait();
  // Where the last save that was done before returning wrote; "" before any.
  const std::string& SavedPath() const { return savedPath_; }

 private:
  std::future<void> running_;
  std::string savedPath_;
};

}  // namespace zelvor::workbook
