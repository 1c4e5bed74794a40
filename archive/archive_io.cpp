#include <windows.h>

#include "archive/archive_io.h"

RecordFile ArchiveHandle;
RecordFile OutputHandle;
std::uint16_t ReadIndex = 0;
std::int32_t ReadCount = 0;
std::uint16_t WriteCount = 0;
std::int32_t WrittenBytes = 0;

void ArchiveReader(void*, std::uint16_t, std::uint16_t& actual) { actual = 0; }
void ArchiveWriter(void*, std::uint16_t count, std::uint16_t& actual) { actual = count; }
