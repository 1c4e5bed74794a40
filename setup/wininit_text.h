#pragma once
// Composing WININIT.INI: the [Rename] header and this run's lines first, then
// what the file held before (rename lines another installation left pending,
// and every other section as it was).
#include <string>
#include <vector>

struct WinInitKept {
  std::vector<std::string> RenameLines;  // earlier [Rename] lines, in order
  std::string Rest;                      // everything outside [Rename], CR LF lines
};

WinInitKept ParseWinInit(const std::string& text);

// An earlier line whose destination one of our lines names again is dropped:
// our line replaces it.
std::string ComposeWinInit(const std::vector<std::string>& ourLines, const WinInitKept& kept);
