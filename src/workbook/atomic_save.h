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

}  // namespace zelvor::workbook
