#pragma once
// Files of 1-byte records, opened the way the runtime library opens them:
// an existing file by the process-wide FileMode, a created file always for
// reading and writing (replacing any file of that name). Every call leaves
// its result in IoResult(); none of them raises.
#include <windows.h>

#include <cstdint>
#include <stdexcept>
#include <string>

// 0 read only, 1 write only, 2 read and write (the default).
extern int FileMode;

enum FileShare { ShareNone, ShareRead, ShareReadWrite };

struct RecordFile {
  HANDLE Handle = INVALID_HANDLE_VALUE;
  std::string Path;
};

// Opens an existing file by FileMode; others may do what share allows.
bool OpenRecordFile(RecordFile& file, const std::string& path, FileShare share = ShareRead);
// Opens an existing file with the access given, whatever FileMode says.
bool OpenRecordFileFor(RecordFile& file, const std::string& path, int mode, FileShare share);
// Creates (or truncates) a file, open for reading and writing.
bool CreateRecordFile(RecordFile& file, const std::string& path, FileShare share = ShareRead);
bool IsOpen(const RecordFile& file);
// Up to n bytes; the count moved, or -1 when the call failed.
std::int32_t ReadRecords(RecordFile& file, void* buffer, std::int32_t n);
std::int32_t WriteRecords(RecordFile& file, const void* buffer, std::int32_t n);
bool RecordEof(RecordFile& file);
bool SeekRecord(RecordFile& file, std::int32_t position);
std::int32_t RecordFileSize(RecordFile& file);
// The file ends at the current position.
bool TruncateRecordFile(RecordFile& file);
void CloseRecordFile(RecordFile& file);

// 0 after a call that succeeded, else the system's error code.
DWORD IoResult();

// The runtime's I/O error, for the operations that raise.
class EInOutError : public std::runtime_error {
public:
  EInOutError(const std::string& message, DWORD code) : std::runtime_error(message), ErrorCode(code) {}
  DWORD ErrorCode;
};

// Raises EInOutError naming what failed and the system's reason.
[[noreturn]] void RaiseIoError(const std::string& what, const std::string& path, DWORD code);

// The system's text for an error code, without a trailing line break.
std::string SystemErrorText(DWORD code);

// True only for an existing file (not a folder).
bool FileExists(const std::string& path);

// Upper case by the ANSI code page's rules.
std::string AnsiUpperCase(const std::string& text);
