#pragma once
// The temporary files of the saves under way in this process, so that a program ended at once
// by a signal can remove them first: a half-written file must not outlive the process.

#include <string>

namespace zelvor::workbook {

// Records and forgets one temporary file; called by the save that writes it.
void NoteSaveInProgress(const std::string& tempPath);
void ForgetSaveInProgress(const std::string& tempPath);

// Removes every temporary file still recorded. Safe to call from a signal handler.
void RemoveSavesInProgress() noexcept;

}  // namespace zelvor::workbook
