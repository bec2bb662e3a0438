#pragma once
// Every workbook save goes through here: the file is written beside its target and renamed over
// it only when complete, so a failed or interrupted save never damages an earlier file.

#include <functional>
#include <string>

namespace zelvor::workbook {

// `write` fills the temporary path it is given, throwing EWorkbookError with the reason on
// failure. Throws EWorkbookError naming the target; the temporary file is removed.
void SaveAtomically(const std::string& target,
                    const std::function<void(const std::string& tempPath)>& write);

// Throws EWorkbookError naming the target when a save to it would fail for want of rights: the
// file exists and may not be written, or its folder does not take new files.
void CheckCanSave(const std::string& target);

}  // namespace zelvor::workbook
