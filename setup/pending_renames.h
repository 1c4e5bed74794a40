#pragma once
// WININIT.INI's [Rename] section: files that Windows puts in place at its next start.
#include <windows.h>

#include <string>
#include <vector>

struct PendingRenameListRecord {
  HANDLE Handle = INVALID_HANDLE_VALUE;
  std::vector<std::string> Lines;  // this run's lines, in the order added
  std::string Kept;                // what the file held before this run, kept after our lines
};

void OpenPendingRenameList();
// Appends destination "=" source; false when the line could not be written.
bool AddPendingRename(const std::string& destination, const std::string& source);
void ClosePendingRenameList();

// The short (8.3) form of an existing file's full path; the path unchanged
// when it has none.
std::string ShortPath(const std::string& path);
