#pragma once
// File-name parts, as the runtime library gives them. A name's folder part
// ends at the last backslash or colon; its extension starts at the last dot
// after that.
#include <string>

// folder empty -> name; folder ends in a backslash -> folder + name;
// otherwise folder + one backslash + name.
std::string PathJoin(const std::string& folder, const std::string& name);

// Everything up to and including the last backslash or colon ("" if none).
std::string ExtractFilePath(const std::string& path);

// From the last dot after the last backslash or colon, the dot included ("" if none).
std::string ExtractFileExt(const std::string& path);

// The extension replaced by ext (which carries its dot); appended when there is none.
std::string ChangeFileExt(const std::string& path, const std::string& ext);

// ASCII letters a..z to upper case; every other byte unchanged.
std::string UpperCase(const std::string& text);
