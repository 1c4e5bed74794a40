// Loading the file directory from the end of the running setup program.
#include <windows.h>

#include <string>

#include "archive/file_directory.h"

namespace {

std::string ErrorText(const char* what, const char* path) {
  return std::string(what) + " " + path + " (error " + std::to_string(GetLastError()) +
         "). Start the setup program again from the first disk.";
}

}  // namespace

TrailerCheck LoadFileDirectoryChecked() {
  ReleaseFileDirectory(FileDirectory);
  FileDirectory.UnpackedSize = 0;

  char path[MAX_PATH + 1] = {0};
  DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) {
    return TrailerCheck{false, "Cannot find the setup program's own file name."};
  }

  HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return TrailerCheck{false, ErrorText("Cannot open", path)};

  DWORD high = 0;
  DWORD low = GetFileSize(file, &high);
  if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) {
    TrailerCheck failed{false, ErrorText("Cannot get the size of", path)};
    CloseHandle(file);
    return failed;
  }
  unsigned long long fileSize = (static_cast<unsigned long long>(high) << 32) | low;

  // Only the tail holds the directory; the image in front is never read.
  DWORD want = fileSize < kMaxTrailerSize ? static_cast<DWORD>(fileSize) : static_cast<DWORD>(kMaxTrailerSize);
  unsigned long long start = fileSize - want;
  LONG startHigh = static_cast<LONG>(start >> 32);
  unsigned char tail[kMaxTrailerSize];
  DWORD got = 0;
  SetLastError(NO_ERROR);
  DWORD moved = SetFilePointer(file, static_cast<LONG>(start & 0xFFFFFFFFu), &startHigh, FILE_BEGIN);
  BOOL ok = !(moved == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR) &&
            ReadFile(file, tail, want, &got, nullptr) && got == want;
  TrailerCheck result = ok ? ParseTrailer(tail, want, fileSize, FileDirectory)
                           : TrailerCheck{false, ErrorText("Cannot read", path)};
  CloseHandle(file);
  return result;
}

void LoadFileDirectory() { LoadFileDirectoryChecked(); }
