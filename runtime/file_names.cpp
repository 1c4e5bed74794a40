#include "runtime/file_names.h"

namespace {
std::string::size_type LastDelimiter(const std::string& path) {
  return path.find_last_of("\\:");
}

std::string::size_type ExtensionStart(const std::string& path) {
  const std::string::size_type dot = path.find_last_of('.');
  if (dot == std::string::npos) return std::string::npos;
  const std::string::size_type delim = LastDelimiter(path);
  if (delim != std::string::npos && dot < delim) return std::string::npos;
  return dot;
}
}  // namespace

std::string PathJoin(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  if (folder.back() == '\\') return folder + name;
  return folder + "\\" + name;
}

std::string ExtractFilePath(const std::string& path) {
  const std::string::size_type delim = LastDelimiter(path);
  if (delim == std::string::npos) return std::string();
  return path.substr(0, delim + 1);
}

std::string ExtractFileExt(const std::string& path) {
  const std::string::size_type dot = ExtensionStart(path);
  if (dot == std::string::npos) return std::string();
  return path.substr(dot);
}

std::string ChangeFileExt(const std::string& path, const std::string& ext) {
  const std::string::size_type dot = ExtensionStart(path);
  if (dot == std::string::npos) return path + ext;
  return path.substr(0, dot) + ext;
}

std::string UpperCase(const std::string& text) {
  std::string out = text;
  for (char& ch : out) {
    if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
  }
  return out;
}
