#pragma once
// The file directory appended to the setup program: N records of 28 bytes,
// the count byte and UnpackedSize at the very end of the file.
#include <cstddef>
#include <cstdint>
#include <string>

struct DirectoryEntry {
  unsigned char Name[20];  // length byte and 19 characters, leftovers and all
  std::int32_t Offset;
  std::int32_t Size;
  DirectoryEntry* Next;
};

struct FileDirectoryRecord {
  DirectoryEntry* First;
  DirectoryEntry* Last;
  std::int32_t UnpackedSize;
};

extern FileDirectoryRecord FileDirectory;

constexpr std::size_t kDirectoryRecordSize = 28;
constexpr std::size_t kMaxNameLength = 19;
constexpr std::size_t kMaxDirectoryEntries = 255;
// The most bytes a trailer can take: 255 records, the count and the total.
constexpr std::size_t kMaxTrailerSize = kMaxDirectoryEntries * kDirectoryRecordSize + 5;

// The name as text: at most 19 characters, never read beyond its field.
std::string EntryName(const DirectoryEntry& entry);

// Whether a trailer holds a directory that is safe to install from, and if
// not, why (in words for the user).
struct TrailerCheck {
  bool Valid;
  std::string Reason;
};

// Empty when name is a bare file name that fits a record, otherwise why not.
std::string CheckEntryName(const std::string& name);

// Reads the trailer of a file of fileSize bytes whose last tailSize bytes
// are tail[0..tailSize) (the whole file or at least its last kMaxTrailerSize
// bytes), and checks it. The directory is emptied first; it receives the
// entries in file order only when the trailer is valid, so nothing can act
// on a damaged one. UnpackedSize stays 0 then.
TrailerCheck ParseTrailer(const unsigned char* tail, std::size_t tailSize, std::uint64_t fileSize,
                          FileDirectoryRecord& directory);

// The same for a whole file held in memory.
TrailerCheck ParseTrailer(const unsigned char* data, std::size_t size, FileDirectoryRecord& directory);

// Frees every entry from the first; the list is empty afterwards.
void ReleaseFileDirectory(FileDirectoryRecord& directory);

// Reads the trailer of the running setup program's own file into
// FileDirectory. The checked form says why a trailer cannot be used.
void LoadFileDirectory();
TrailerCheck LoadFileDirectoryChecked();
