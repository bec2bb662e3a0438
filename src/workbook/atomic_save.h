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

// Creates `target` as a new file that `write` fills, never replacing a file of that name: the
// file is written under a temporary name and only then given the target's name, so the name
// never shows an empty or partial file. Returns false when the name is taken. The file is only
// reserved until the first SaveAtomically to it: DiscardReserved removes it, and the clean-up of
// any later save in its folder removes it once its process has died. Throws EWorkbookError
// naming the target.
bool ReserveNewFile(const std::string& target,
                    const std::function<void(const std::string& tempPath)>& write);

// Removes `target` when it is still a reservation of this process, never saved over; returns
// whether it did.
bool DiscardReserved(const std::string& target);

// Throws EWorkbookError naming the target when a save to it would fail for want of rights: the
// file exists and may not be written, or its folder does not take new files.
void CheckCanSave(const std::string& target);

}  // namespace zelvor::workbook
