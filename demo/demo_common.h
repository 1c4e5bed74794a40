#pragma once
// Small helpers shared by the demo product's programs.
#include <windows.h>

#include <string>

#ifndef DemoVersion
#define DemoVersion "1.0"
#endif

extern const char* const DemoMissing;

// The program's own folder, ending in a backslash.
std::string DemoOwnFolder();
// The whole file, or DemoMissing when it cannot be read.
std::string DemoReadFile(const std::string& path);
// Appends line + CR LF; false when the file cannot be written.
bool DemoAppendLine(const std::string& path, const std::string& line);
