// Any file end is a trailer the parser must survive: it either accepts a
// directory whose every entry is a safe name inside the unpacked size, or
// gives a reason and leaves the list empty. Parsing only the tail of a
// longer file must give the same answer.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "archive/file_directory.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FileDirectoryRecord dir = {nullptr, nullptr, 0};
  TrailerCheck check = ParseTrailer(data, size, dir);
  if (check.Valid) {
    for (DirectoryEntry* e = dir.First; e; e = e->Next) {
      if (!CheckEntryName(EntryName(*e)).empty()) std::abort();
      if (e->Offset < 0 || e->Size < 0) std::abort();
      if (static_cast<std::int64_t>(e->Offset) + e->Size > dir.UnpackedSize) std::abort();
    }
  } else if (check.Reason.empty() || dir.First || dir.Last || dir.UnpackedSize != 0) {
    std::abort();
  }

  // The same file as seen by a loader that read only its last bytes.
  std::size_t tail = size < kMaxTrailerSize ? size : kMaxTrailerSize;
  FileDirectoryRecord fromTail = {nullptr, nullptr, 0};
  TrailerCheck tailCheck = ParseTrailer(data + size - tail, tail, size, fromTail);
  if (tailCheck.Valid != check.Valid || tailCheck.Reason != check.Reason) std::abort();
  if (fromTail.UnpackedSize != dir.UnpackedSize) std::abort();
  ReleaseFileDirectory(dir);
  ReleaseFileDirectory(fromTail);
  return 0;
}
