#include <windows.h>

#include "runtime/record_file.h"

int FileMode = 2;

namespace {
DWORD LastIoResult = 0;

DWORD ShareFlags(FileShare share) {
  switch (share) {
    case ShareNone: return 0;
    case ShareRead: return FILE_SHARE_READ;
    case ShareReadWrite: return FILE_SHARE_READ | FILE_SHARE_WRITE;
  }
  return 0;
}

DWORD AccessFor(int mode) {
  switch (mode) {
    case 0: return GENERIC_READ;
    case 1: return GENERIC_WRITE;
    default: return GENERIC_READ | GENERIC_WRITE;
  }
}

bool Finish(bool ok) {
  LastIoResult = ok ? 0 : GetLastError();
  if (!ok && LastIoResult == 0) LastIoResult = ERROR_GEN_FAILURE;
  return ok;
}

bool OpenWith(RecordFile& file, const std::string& path, DWORD access, DWORD share, DWORD disposition) {
  // Opening a record that is still open closes it first, as the runtime
  // does; a handle left behind would keep the old file locked.
  if (file.Handle != INVALID_HANDLE_VALUE) CloseHandle(file.Handle);
  file.Handle = INVALID_HANDLE_VALUE;
  file.Path = path;
  file.Handle = CreateFileA(path.c_str(), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  return Finish(file.Handle != INVALID_HANDLE_VALUE);
}
}  // namespace

bool OpenRecordFile(RecordFile& file, const std::string& path, FileShare share) {
  return OpenRecordFileFor(file, path, FileMode, share);
}

bool OpenRecordFileFor(RecordFile& file, const std::string& path, int mode, FileShare share) {
  return OpenWith(file, path, AccessFor(mode), ShareFlags(share), OPEN_EXISTING);
}

bool CreateRecordFile(RecordFile& file, const std::string& path, FileShare share) {
  return OpenWith(file, path, GENERIC_READ | GENERIC_WRITE, ShareFlags(share), CREATE_ALWAYS);
}

bool IsOpen(const RecordFile& file) { return file.Handle != INVALID_HANDLE_VALUE; }

std::int32_t ReadRecords(RecordFile& file, void* buffer, std::int32_t n) {
  DWORD done = 0;
  if (n <= 0) return Finish(IsOpen(file)) ? 0 : -1;
  if (!Finish(ReadFile(file.Handle, buffer, static_cast<DWORD>(n), &done, nullptr) != 0)) return -1;
  return static_cast<std::int32_t>(done);
}

std::int32_t WriteRecords(RecordFile& file, const void* buffer, std::int32_t n) {
  DWORD done = 0;
  if (n <= 0) return Finish(IsOpen(file)) ? 0 : -1;
  if (!Finish(WriteFile(file.Handle, buffer, static_cast<DWORD>(n), &done, nullptr) != 0)) return -1;
  return static_cast<std::int32_t>(done);
}

bool RecordEof(RecordFile& file) {
  const DWORD pos = SetFilePointer(file.Handle, 0, nullptr, FILE_CURRENT);
  const DWORD size = GetFileSize(file.Handle, nullptr);
  if (pos == INVALID_SET_FILE_POINTER || size == INVALID_FILE_SIZE) {
    Finish(false);
    return true;  // a file that cannot be asked has nothing more to give
  }
  Finish(true);
  return pos >= size;
}

bool SeekRecord(RecordFile& file, std::int32_t position) {
  if (position < 0) {
    SetLastError(ERROR_NEGATIVE_SEEK);
    return Finish(false);
  }
  return Finish(SetFilePointer(file.Handle, position, nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER);
}

std::int32_t RecordFileSize(RecordFile& file) {
  const DWORD size = GetFileSize(file.Handle, nullptr);
  if (!Finish(size != INVALID_FILE_SIZE)) return -1;
  return static_cast<std::int32_t>(size);
}

bool TruncateRecordFile(RecordFile& file) { return Finish(SetEndOfFile(file.Handle) != 0); }

void CloseRecordFile(RecordFile& file) {
  if (IsOpen(file)) {
    Finish(CloseHandle(file.Handle) != 0);
    file.Handle = INVALID_HANDLE_VALUE;
  }
}

DWORD IoResult() { return LastIoResult; }

std::string SystemErrorText(DWORD code) {
  char text[512] = {0};
  DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text,
                           sizeof(text), nullptr);
  while (n > 0 && (text[n - 1] == '\r' || text[n - 1] == '\n' || text[n - 1] == ' ' || text[n - 1] == '.')) {
    text[--n] = 0;
  }
  if (n == 0) return "error " + std::to_string(code);
  return std::string(text, n);
}

void RaiseIoError(const std::string& what, const std::string& path, DWORD code) {
  throw EInOutError(what + " " + path + ": " + SystemErrorText(code) + ".", code);
}

bool FileExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::string AnsiUpperCase(const std::string& text) {
  std::string out = text;
  if (!out.empty()) CharUpperBuffA(&out[0], static_cast<DWORD>(out.size()));
  return out;
}
