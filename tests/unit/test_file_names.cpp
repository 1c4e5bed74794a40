#include <gtest/gtest.h>

#include <string>

#include "runtime/file_names.h"

namespace {

struct JoinCase {
  const char* Folder;
  const char* Name;
  const char* Expected;
};

TEST(PathJoin, InsertsExactlyOneBackslash) {
  const JoinCase cases[] = {
      {"", "Marwindl.Exe", "Marwindl.Exe"},
      {"C:\\Marwindle", "Marwindl.Exe", "C:\\Marwindle\\Marwindl.Exe"},
      {"C:\\Marwindle\\", "Marwindl.Exe", "C:\\Marwindle\\Marwindl.Exe"},
      {"C:\\", "WinInit.Ini", "C:\\WinInit.Ini"},
      // A drive without a folder is not a folder that ends in a backslash.
      {"A:", "Marwindl.001", "A:\\Marwindl.001"},
      {"C:\\WINDOWS", "", "C:\\WINDOWS\\"},
      // Only the folder's last character counts; the name is taken as it is.
      {"C:\\Dir", "\\x", "C:\\Dir\\\\x"},
  };
  for (const JoinCase& c : cases) {
    EXPECT_EQ(c.Expected, PathJoin(c.Folder, c.Name)) << "PathJoin(\"" << c.Folder << "\", \"" << c.Name << "\")";
  }
}

struct PartsCase {
  const char* Path;
  const char* Folder;  // ExtractFilePath
  const char* Ext;     // ExtractFileExt
};

TEST(FileNameParts, FolderEndsAtLastBackslashOrColonAndExtensionAtLastDotAfterIt) {
  const PartsCase cases[] = {
      {"C:\\Setup\\disk1\\setup.exe", "C:\\Setup\\disk1\\", ".exe"},
      {"A:SETUP.EXE", "A:", ".EXE"},
      {"setup.exe", "", ".exe"},
      {"C:\\My.Dir\\README", "C:\\My.Dir\\", ""},
      {"C:\\Marwindle\\Marwindle._TM", "C:\\Marwindle\\", "._TM"},
      {"Marwindl.Exe.$$$", "", ".$$$"},
      {"C:\\dir\\", "C:\\dir\\", ""},
      {"name.", "", "."},
      {"", "", ""},
  };
  for (const PartsCase& c : cases) {
    EXPECT_EQ(c.Folder, ExtractFilePath(c.Path)) << c.Path;
    EXPECT_EQ(c.Ext, ExtractFileExt(c.Path)) << c.Path;
  }
}

TEST(FileNameParts, ChangeFileExtReplacesOrAppends) {
  const struct {
    const char* Path;
    const char* Ext;
    const char* Expected;
  } cases[] = {
      {"Marwindl.Exe", ".$$$", "Marwindl.$$$"},
      {"Marwindl.$$$", ".Exe", "Marwindl.Exe"},
      {"Marwindl.001", ".002", "Marwindl.002"},
      {"C:\\My.Dir\\README", ".TXT", "C:\\My.Dir\\README.TXT"},
      {"C:\\dir\\a.b.c", "", "C:\\dir\\a.b"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.Expected, ChangeFileExt(c.Path, c.Ext)) << c.Path << " with " << c.Ext;
  }
}

TEST(FileNameParts, UpperCaseChangesOnlyAsciiLetters) {
  EXPECT_EQ(".EXE", UpperCase(".Exe"));
  EXPECT_EQ(".$$$", UpperCase(".$$$"));
  EXPECT_EQ("C:\\MARWINDLE! 1_2", UpperCase("c:\\Marwindle! 1_2"));
  // Bytes of the ANSI code page above 127 stay as they are.
  EXPECT_EQ(std::string("\xE9T\xC9"), UpperCase(std::string("\xE9t\xC9")));
}

}  // namespace
