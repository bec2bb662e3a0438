#include "workbook/saves_in_progress.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

#include <array>
#include <atomic>
#include <cstring>

namespace zelvor::workbook {
namespace {

// A fixed table of lock-free slots, since a signal handler may neither lock nor allocate. A
// process saves at most two workbooks at a time (the result and the input), each once.
enum SlotState : int { kFree = 0, kFilling = 1, kInUse = 2 };

struct Slot {
  std::atomic<int> state{kFree};
  char path[4096] = {};
};
static_assert(std::atomic<int>::is_always_lock_free);

std::array<Slot, 16> slots;

// Called where nothing may be allocated: a signal handler on POSIX systems, the console's
// control thread on Windows.
void RemoveNow(const char* path) noexcept {
#ifdef _WIN32
  wchar_t wide[sizeof(Slot::path)];
  if (::MultiByteToWideChar(CP_UTF8, 0, path, -1, wide, static_cast<int>(std::size(wide))) > 0)
    ::DeleteFileW(wide);
#else
  ::unlink(path);
#endif
}

}  // namespace

void NoteSaveInProgress(const std::string& tempPath) {
  if (tempPath.size() >= sizeof(Slot::path)) return;
  for (Slot& slot : slots) {
    int expected = kFree;
    if (!slot.state.compare_exchange_strong(expected, kFilling)) continue;
    std::memcpy(slot.path, tempPath.c_str(), tempPath.size() + 1);
    slot.state.store(kInUse);
    return;
  }
}

void ForgetSaveInProgress(const std::string& tempPath) {
  for (Slot& slot : slots) {
    if (slot.state.load() == kInUse && tempPath == slot.path) {
      slot.state.store(kFree);
      return;
    }
  }
}

void RemoveSavesInProgress() noexcept {
  for (Slot& slot : slots) {
    if (slot.state.load() == kInUse) RemoveNow(slot.path);
  }
}

}  // namespace zelvor::workbook
