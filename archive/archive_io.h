#pragma once
// The decoder's buffered reader and writer over the joined archive and the
// main program file.
#include <windows.h>

#include <cstdint>

#include "runtime/record_file.h"

extern RecordFile ArchiveHandle;
extern RecordFile OutputHandle;
extern std::uint16_t ReadIndex;
extern std::int32_t ReadCount;
extern std::uint16_t WriteCount;
extern std::int32_t WrittenBytes;

// Bytes per block read from the archive and per block written out.
const std::int32_t ArchiveBlockSize = 2048;

// 0 while every read and every flush moved all its bytes; otherwise the
// system's reason (ERROR_DISK_FULL for a write that fell short). The first
// failure stops the decode (InstallRunning 0) and stays here for the unpack
// stage to report; the stage clears both before it decodes.
extern DWORD ArchiveReadError;
extern DWORD OutputWriteError;

void ArchiveReader(void* buffer, std::uint16_t count, std::uint16_t& actual);
void ArchiveWriter(void* buffer, std::uint16_t count, std::uint16_t& actual);
