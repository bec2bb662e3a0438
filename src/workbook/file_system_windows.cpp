#include <windows.h>

#include <memory>

#include "workbook/errors.h"
#include "workbook/file_system.h"

namespace zelvor::workbook::files {
namespace {

struct HandleClose {
  void operator()(HANDLE handle) const { ::CloseHandle(handle); }
};
using Handle = std::unique_ptr<void, HandleClose>;

Handle Open(const fs::path& path, DWORD access, DWORD disposition, DWORD flags) {
  HANDLE handle =
      ::CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, disposition, flags, nullptr);
  return Handle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}

}  // namespace

fs::path NativePath(std::string_view utf8) {
  return fs::path(std::u8string(reinterpret_cast<const char8_t*>(utf8.data()), utf8.size()));
}

std::string Utf8(const fs::path& path) {
  const std::u8string text = path.u8string();
  return std::string(reinterpret_cast<const char*>(text.data()), text.size());
}

std::uint64_t CurrentProcess() {
  return ::GetCurrentProcessId();
}

bool ProcessEnded(std::uint64_t process) {
  const Handle handle(::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE,
                                    static_cast<DWORD>(process)));
  if (!handle) return ::GetLastError() == ERROR_INVALID_PARAMETER;  // no such process
  return ::WaitForSingleObject(handle.get(), 0) == WAIT_OBJECT_0;
}

bool LocalTime(std::time_t moment, std::tm& local) {
  return ::localtime_s(&local, &moment) == 0;
}

std::string LastError() {
  const DWORD code = ::GetLastError();
  wchar_t* text = nullptr;
  const DWORD length = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::string message = "Windows error " + std::to_string(code);
  if (length > 0 && text != nullptr) {
    std::wstring wide(text, length);
    while (!wide.empty() && (wide.back() == L'\r' || wide.back() == L'\n' || wide.back() == L'.'))
      wide.pop_back();
    message = Utf8(fs::path(wide)) + " (" + message + ")";
  }
  ::LocalFree(text);
  return message;
}

bool CreateNew(const fs::path& path) {
  if (Open(path, GENERIC_WRITE, CREATE_NEW, FILE_ATTRIBUTE_NORMAL)) return true;
  const DWORD error = ::GetLastError();
  if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) return false;
  throw EWorkbookError("cannot create a file in its folder \"" + Utf8(path.parent_path()) +
                       "\": " + LastError());
}

bool LinkNew(const fs::path& existing, const fs::path& name) {
  if (::CreateHardLinkW(name.c_str(), existing.c_str(), nullptr)) return true;
  const DWORD error = ::GetLastError();
  if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) return false;
  throw EWorkbookError("cannot create the file: " + LastError());
}

void ReplaceWith(const fs::path& from, const fs::path& to) {
  if (!::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    throw EWorkbookError("cannot replace the file: " + LastError());
}

void FlushFile(const fs::path& path) {
  const Handle file = Open(path, GENERIC_WRITE, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL);
  if (!file) throw EWorkbookError("cannot reopen the written file: " + LastError());
  if (!::FlushFileBuffers(file.get()))
    throw EWorkbookError("cannot flush the written file to disk: " + LastError());
}

void FlushFolder(const fs::path&) {
  // MOVEFILE_WRITE_THROUGH has already put the rename on the disk.
}

void Remove(const fs::path& path) noexcept {
  ::DeleteFileW(path.c_str());
}

bool MarkedReadOnly(const fs::path& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0 &&
         (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool MayWrite(const fs::path& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return true;  // a probe file tells
  return static_cast<bool>(Open(path, GENERIC_WRITE, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL));
}

bool HeldOpenElsewhere(const fs::path& path) {
  if (Open(path, GENERIC_READ | GENERIC_WRITE, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL)) return false;
  const DWORD error = ::GetLastError();
  return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
}

void CopyPermissions(const fs::path&, const fs::path&) {
  // A new file takes its folder's access rules; there are no mode bits to keep.
}

}  // namespace zelvor::workbook::files
