#include <windows.h>

#include "setup/pending_renames.h"

#include "runtime/file_names.h"
#include "setup/setup_state.h"
#include "setup/wininit_text.h"

namespace {
WinInitKept KeptFromBefore;

// False when the file is there but could not be read whole: rewriting it
// then would lose what another installation left in it.
bool ReadWholeFile(const std::string& path, std::string& text) {
  text.clear();
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
  }
  char block[4096];
  DWORD got = 0;
  bool whole = true;
  for (;;) {
    if (!ReadFile(file, block, sizeof(block), &got, nullptr)) {
      whole = false;
      break;
    }
    if (got == 0) break;
    text.append(block, got);
  }
  CloseHandle(file);
  return whole;
}

// The whole file is written again on every change, so that what is on disk is
// complete at any moment: a restart may come before the list is closed.
bool WriteOut() {
  PendingRenameListRecord& list = SetupState.PendingRenameList;
  if (list.Handle == INVALID_HANDLE_VALUE) {
    SetLastError(ERROR_INVALID_HANDLE);
    return false;
  }
  const std::string text = ComposeWinInit(list.Lines, KeptFromBefore);
  DWORD written = 0;
  if (SetFilePointer(list.Handle, 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER) return false;
  if (!WriteFile(list.Handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr)) return false;
  if (written != text.size()) {
    SetLastError(ERROR_DISK_FULL);
    return false;
  }
  if (!SetEndOfFile(list.Handle)) return false;
  FlushFileBuffers(list.Handle);
  return true;
}

bool IsNtFamily() {
  OSVERSIONINFOA version = {};
  version.dwOSVersionInfoSize = sizeof(version);
  GetVersionExA(&version);
  return version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

// Windows NT does not read WININIT.INI; its own delayed move does the same
// at the next start. Looked up at run time: the 9x family has no use for it.
void RegisterDelayedMove(const std::string& destination, const std::string& source) {
  typedef BOOL(WINAPI * MoveFileExProc)(LPCSTR, LPCSTR, DWORD);
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  MoveFileExProc moveFileEx =
      kernel ? reinterpret_cast<MoveFileExProc>(reinterpret_cast<void*>(GetProcAddress(kernel, "MoveFileExA")))
             : nullptr;
  if (moveFileEx != nullptr) {
    moveFileEx(source.c_str(), destination.c_str(), MOVEFILE_DELAY_UNTIL_REBOOT | MOVEFILE_REPLACE_EXISTING);
  }
}
}  // namespace

void OpenPendingRenameList() {
  PendingRenameListRecord& list = SetupState.PendingRenameList;
  const std::string path = PathJoin(SetupState.WindowsFolder, "WinInit.Ini");
  list.Lines.clear();
  std::string before;
  if (!ReadWholeFile(path, before)) {
    list.Handle = INVALID_HANDLE_VALUE;
    return;
  }
  KeptFromBefore = ParseWinInit(before);
  list.Handle = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  WriteOut();
}

bool AddPendingRename(const std::string& destination, const std::string& source) {
  PendingRenameListRecord& list = SetupState.PendingRenameList;
  list.Lines.push_back(destination + "=" + source);
  if (IsNtFamily()) RegisterDelayedMove(destination, source);
  return WriteOut();
}

void ClosePendingRenameList() {
  PendingRenameListRecord& list = SetupState.PendingRenameList;
  if (list.Handle == INVALID_HANDLE_VALUE) return;
  WriteOut();
  CloseHandle(list.Handle);
  list.Handle = INVALID_HANDLE_VALUE;
}

std::string ShortPath(const std::string& path) {
  char shortPath[256];
  lstrcpynA(shortPath, path.c_str(), sizeof(shortPath));
  const DWORD n = GetShortPathNameA(path.c_str(), shortPath, 255);
  if (n == 0 || n > 255) return path;
  return shortPath;
}
