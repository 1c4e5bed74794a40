#include "setup/wininit_text.h"

#include <set>

#include "runtime/file_names.h"

namespace {
std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  for (char ch : text) {
    if (ch == '\n') {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      lines.push_back(line);
      line.clear();
    } else {
      line += ch;
    }
  }
  if (!line.empty()) {
    if (line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

std::string Trim(const std::string& text) {
  const std::string::size_type first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return std::string();
  const std::string::size_type last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

std::string DestinationOf(const std::string& line) {
  const std::string::size_type eq = line.find('=');
  return UpperCase(Trim(eq == std::string::npos ? line : line.substr(0, eq)));
}
}  // namespace

WinInitKept ParseWinInit(const std::string& text) {
  WinInitKept kept;
  bool inRename = false;
  bool inSection = false;
  for (const std::string& line : SplitLines(text)) {
    const std::string trimmed = Trim(line);
    if (!trimmed.empty() && trimmed.front() == '[') {
      inSection = true;
      inRename = UpperCase(trimmed) == "[RENAME]";
      if (inRename) continue;
    }
    if (inRename) {
      if (!trimmed.empty()) kept.RenameLines.push_back(line);
    } else if (!inSection && !trimmed.empty() && trimmed.front() != ';') {
      // A line before any section belongs to none and is never carried out.
      // Written after our header it would become a rename, so it is kept as
      // a comment instead.
      kept.Rest += ";" + line + "\r\n";
    } else {
      kept.Rest += line + "\r\n";
    }
  }
  return kept;
}

std::string ComposeWinInit(const std::vector<std::string>& ourLines, const WinInitKept& kept) {
  std::string out = "[Rename]\r\n";
  std::set<std::string> ours;
  for (const std::string& line : ourLines) {
    out += line + "\r\n";
    ours.insert(DestinationOf(line));
  }
  for (const std::string& line : kept.RenameLines) {
    // Comment lines carry no destination and always stay.
    const std::string trimmed = Trim(line);
    if (trimmed[0] != ';' && ours.count(DestinationOf(line)) != 0) continue;
    out += line + "\r\n";
  }
  out += kept.Rest;
  return out;
}
