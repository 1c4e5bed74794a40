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

void ArchiveReader(void* buffer, std::uint16_t count, std::uint16_t& actual);
void ArchiveWriter(void* buffer, std::uint16_t count, std::uint16_t& actual);
