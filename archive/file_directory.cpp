// Reading and checking the file directory at the end of the setup program.
#include "archive/file_directory.h"

#include <cstring>
#include <new>

FileDirectoryRecord FileDirectory = {nullptr, nullptr, 0};

namespace {

std::int32_t ReadInt32(const unsigned char* p) {
  std::uint32_t v = static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
                    static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
  return static_cast<std::int32_t>(v);
}

TrailerCheck Damaged(const std::string& detail) {
  return TrailerCheck{false, "The list of files at the end of the setup program is damaged (" + detail +
                                 "). Copy the setup program again from the first disk."};
}

std::string RecordLabel(std::size_t index, const std::string& name) {
  std::string label = "entry " + std::to_string(index + 1);
  if (!name.empty()) label += " \"" + name + "\"";
  return label;
}

// Printable form of a raw name for a message: control characters as \xNN.
std::string Printable(const std::string& name) {
  static const char hex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : name) {
    if (c < 0x20 || c == 0x7F) {
      out += "\\x";
      out += hex[c >> 4];
      out += hex[c & 15];
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

}  // namespace

std::string EntryName(const DirectoryEntry& entry) {
  std::size_t length = entry.Name[0];
  if (length > kMaxNameLength) length = kMaxNameLength;
  return std::string(reinterpret_cast<const char*>(entry.Name + 1), length);
}

std::string CheckEntryName(const std::string& name) {
  if (name.empty()) return "the name is empty";
  if (name.size() > kMaxNameLength) {
    return "the name has " + std::to_string(name.size()) + " characters, at most 19 fit";
  }
  if (name == "." || name == "..") return "\"" + name + "\" is not a file name";
  for (unsigned char c : name) {
    if (c < 0x20 || c == 0x7F) return "the name holds a control character";
    // A folder part or a character Windows refuses would put the file
    // somewhere else, or nowhere.
    if (std::strchr("\\/:*?\"<>|", c)) {
      return std::string("the name holds '") + static_cast<char>(c) + "', it must be a bare file name";
    }
  }
  return std::string();
}

void ReleaseFileDirectory(FileDirectoryRecord& directory) {
  DirectoryEntry* entry = directory.First;
  while (entry) {
    DirectoryEntry* next = entry->Next;
    delete entry;
    entry = next;
  }
  directory.First = nullptr;
  directory.Last = nullptr;
}

TrailerCheck ParseTrailer(const unsigned char* tail, std::size_t tailSize, std::uint64_t fileSize,
                          FileDirectoryRecord& directory) {
  ReleaseFileDirectory(directory);
  directory.UnpackedSize = 0;

  if (tailSize > fileSize) tailSize = static_cast<std::size_t>(fileSize);
  if (fileSize < 5 || tailSize < 5) {
    return Damaged("the file is " + std::to_string(fileSize) + " bytes long, too short for the list");
  }
  const unsigned char* end = tail + tailSize;
  std::int32_t unpackedSize = ReadInt32(end - 4);
  std::size_t count = end[-5];
  std::uint64_t trailerSize = 5 + kDirectoryRecordSize * count;
  if (fileSize < trailerSize) {
    return Damaged("it claims " + std::to_string(count) + " files but the file is only " +
                   std::to_string(fileSize) + " bytes long");
  }
  if (tailSize < trailerSize) {
    // The caller read too little of a long enough file; not the file's fault.
    return TrailerCheck{false, "Only the last " + std::to_string(tailSize) +
                                   " bytes of the setup program were read; the list of files needs " +
                                   std::to_string(trailerSize) + "."};
  }
  if (unpackedSize < 0) return Damaged("the unpacked size is negative");

  const unsigned char* record = end - trailerSize;
  for (std::size_t i = 0; i < count; i++, record += kDirectoryRecordSize) {
    std::size_t length = record[0];
    if (length > kMaxNameLength) {
      return Damaged(RecordLabel(i, "") + " has a name length of " + std::to_string(length) +
                     ", at most 19 fit");
    }
    std::string name(reinterpret_cast<const char*>(record + 1), length);
    std::string problem = CheckEntryName(name);
    if (!problem.empty()) return Damaged(RecordLabel(i, Printable(name)) + ": " + problem);
    std::int32_t offset = ReadInt32(record + 20);
    std::int32_t size = ReadInt32(record + 24);
    if (offset < 0 || size < 0) {
      return Damaged(RecordLabel(i, name) + " has a negative " + (offset < 0 ? "offset" : "size"));
    }
    if (static_cast<std::int64_t>(offset) + size > unpackedSize) {
      return Damaged(RecordLabel(i, name) + " ends at " + std::to_string(static_cast<std::int64_t>(offset) + size) +
                     ", beyond the unpacked size " + std::to_string(unpackedSize));
    }
  }

  // Valid: build the list in file order, the name field copied unchanged.
  record = end - trailerSize;
  for (std::size_t i = 0; i < count; i++, record += kDirectoryRecordSize) {
    DirectoryEntry* entry = new (std::nothrow) DirectoryEntry;
    if (!entry) {
      ReleaseFileDirectory(directory);
      return TrailerCheck{false, "There is not enough memory to read the list of files."};
    }
    std::memcpy(entry->Name, record, sizeof entry->Name);
    entry->Offset = ReadInt32(record + 20);
    entry->Size = ReadInt32(record + 24);
    entry->Next = nullptr;
    if (directory.Last) {
      directory.Last->Next = entry;
    } else {
      directory.First = entry;
    }
    directory.Last = entry;
  }
  directory.UnpackedSize = unpackedSize;
  return TrailerCheck{true, std::string()};
}

TrailerCheck ParseTrailer(const unsigned char* data, std::size_t size, FileDirectoryRecord& directory) {
  return ParseTrailer(data, size, size, directory);
}
