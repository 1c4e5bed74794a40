#include <windows.h>

#include "archive/archive_io.h"

#include <cstring>

#include "archive/file_directory.h"
#include "screens/progress_meter.h"
#include "setup/install_running.h"
#include "setup/setup_state.h"

RecordFile ArchiveHandle;
RecordFile OutputHandle;
std::uint16_t ReadIndex = 0;
std::int32_t ReadCount = 0;
std::uint16_t WriteCount = 0;
std::int32_t WrittenBytes = 0;
DWORD ArchiveReadError = 0;
DWORD OutputWriteError = 0;

namespace {
// Writes the bytes held; a failed or short write stops the decode, since
// every byte after it would land in the wrong place.
std::int32_t FlushOutput() {
  const std::int32_t written = WriteRecords(OutputHandle, SetupState.OutputBuffer, WriteCount);
  if (written != WriteCount) {
    if (OutputWriteError == 0) OutputWriteError = written < 0 ? IoResult() : ERROR_DISK_FULL;
    InstallRunning = 0;
  }
  return written;
}
}  // namespace

void ArchiveReader(void* buffer, std::uint16_t, std::uint16_t& actual) {
  if (!InstallRunning) {
    actual = 0;
    return;
  }
  if (ReadIndex >= ReadCount) {
    ReadCount = ReadRecords(ArchiveHandle, SetupState.InputBuffer, ArchiveBlockSize);
    ReadIndex = 0;
    if (ReadCount == 0) {
      actual = 0;
      return;
    }
  }
  if (ReadCount < 0) {
    // A damaged archive would otherwise decode into zero bytes that look
    // like a good installation: stop here and let the stage say so.
    if (ArchiveReadError == 0) ArchiveReadError = IoResult();
    InstallRunning = 0;
    actual = 65535;
  } else {
    static_cast<unsigned char*>(buffer)[0] = SetupState.InputBuffer[ReadIndex];
    ReadIndex++;
    actual = 1;
  }
  PumpMessages();
}

void ArchiveWriter(void* buffer, std::uint16_t count, std::uint16_t& actual) {
  if (!InstallRunning) {
    actual = 0;
    return;
  }
  if (count == 0) {
    FlushOutput();
    return;
  }
  if (WriteCount + count > ArchiveBlockSize) {
    const std::int32_t written = FlushOutput();
    if (written > 0) WrittenBytes += written;
    WriteCount = 0;
    UpdateMeter(WrittenBytes, FileDirectory.UnpackedSize);
    if (!InstallRunning) {
      actual = 0;
      return;
    }
  }
  std::memcpy(SetupState.OutputBuffer + WriteCount, buffer, count);
  WriteCount = static_cast<std::uint16_t>(WriteCount + count);
  actual = count;
}
