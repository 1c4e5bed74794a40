// WININIT.INI as the pending-rename list: header, lines in order with CR LF,
// on disk before the close, other installations' lines and sections kept,
// and on the NT family the same moves registered with the system.
// MW_TEST_ALSO_ON_WIN98
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "runtime/file_names.h"
#include "setup/pending_renames.h"
#include "setup/setup_state.h"
#include "support_setup_run.h"

namespace {

using setup_test::ReadTextFile;
using setup_test::WriteTextFile;

bool NtFamily() {
  OSVERSIONINFOA version = {};
  version.dwOSVersionInfoSize = sizeof(version);
  GetVersionExA(&version);
  return version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

const char* const SessionManager = "System\\CurrentControlSet\\Control\\Session Manager";

// PendingFileRenameOperations as one string, its NULs shown as '|'.
std::string PendingMoves() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, SessionManager, 0, KEY_READ, &key) != ERROR_SUCCESS) return "";
  DWORD type = 0;
  DWORD size = 0;
  std::string data;
  if (RegQueryValueExA(key, "PendingFileRenameOperations", nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
    data.assign(size, '\0');
    RegQueryValueExA(key, "PendingFileRenameOperations", nullptr, &type, reinterpret_cast<BYTE*>(&data[0]), &size);
    data.resize(size);
  }
  RegCloseKey(key);
  for (char& ch : data) {
    if (ch == '\0') ch = '|';
  }
  return UpperCase(data);
}

void ClearPendingMoves() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, SessionManager, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
    RegDeleteValueA(key, "PendingFileRenameOperations");
    RegCloseKey(key);
  }
}

class PendingRenames : public ::testing::Test {
protected:
  void SetUp() override {
    Folder = setup_test::ScratchFolder("windows");
    SetupState.WindowsFolder = Folder;
    Path = PathJoin(Folder, "WinInit.Ini");
  }
  void TearDown() override { ClosePendingRenameList(); }
  std::string Folder;
  std::string Path;
};

TEST_F(PendingRenames, HeaderThenLinesInOrderOnDiskBeforeTheClose) {
  OpenPendingRenameList();
  EXPECT_EQ("[Rename]\r\n", ReadTextFile(Path));

  EXPECT_TRUE(AddPendingRename("C:\\MARWINDLE\\Marwindl.Exe", "C:\\MARWIN~1\\MARWINDL.$$$"));
  EXPECT_TRUE(AddPendingRename("C:\\WINDOWS\\Marwindl.Reg", "C:\\MARWIN~1\\MARWIN~2.REG"));
  // A restart may come before the close: the lines are in the file already.
  EXPECT_EQ(
      "[Rename]\r\n"
      "C:\\MARWINDLE\\Marwindl.Exe=C:\\MARWIN~1\\MARWINDL.$$$\r\n"
      "C:\\WINDOWS\\Marwindl.Reg=C:\\MARWIN~1\\MARWIN~2.REG\r\n",
      ReadTextFile(Path));

  // Others may read the list while it is open, but not write it.
  HANDLE reader = CreateFileA(Path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              0, nullptr);
  EXPECT_NE(INVALID_HANDLE_VALUE, reader);
  if (reader != INVALID_HANDLE_VALUE) CloseHandle(reader);
  HANDLE writer = CreateFileA(Path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  EXPECT_EQ(INVALID_HANDLE_VALUE, writer);
  if (writer != INVALID_HANDLE_VALUE) CloseHandle(writer);

  ClosePendingRenameList();
  EXPECT_EQ(INVALID_HANDLE_VALUE, SetupState.PendingRenameList.Handle);
  EXPECT_EQ(
      "[Rename]\r\n"
      "C:\\MARWINDLE\\Marwindl.Exe=C:\\MARWIN~1\\MARWINDL.$$$\r\n"
      "C:\\WINDOWS\\Marwindl.Reg=C:\\MARWIN~1\\MARWIN~2.REG\r\n",
      ReadTextFile(Path));
}

TEST_F(PendingRenames, WhatAnotherInstallationLeftIsKeptAfterOurLines) {
  ASSERT_TRUE(WriteTextFile(Path,
                            "[Rename]\r\n"
                            "C:\\OTHER\\OTHER.DLL=C:\\OTHER\\OTHER.NEW\r\n"
                            "C:\\WINDOWS\\Marwindl.Reg=C:\\OLD\\MARWIN~1.REG\r\n"
                            "[CombineVxDs]\r\n"
                            "C:\\WINDOWS\\SYSTEM\\VMM32.VXD=C:\\X.VXD\r\n"));
  OpenPendingRenameList();
  EXPECT_EQ(
      "[Rename]\r\n"
      "C:\\OTHER\\OTHER.DLL=C:\\OTHER\\OTHER.NEW\r\n"
      "C:\\WINDOWS\\Marwindl.Reg=C:\\OLD\\MARWIN~1.REG\r\n"
      "[CombineVxDs]\r\n"
      "C:\\WINDOWS\\SYSTEM\\VMM32.VXD=C:\\X.VXD\r\n",
      ReadTextFile(Path));
  AddPendingRename("C:\\WINDOWS\\Marwindl.Reg", "C:\\NEW\\MARWIN~1.REG");
  ClosePendingRenameList();
  // Our line for the same destination replaces the earlier one.
  EXPECT_EQ(
      "[Rename]\r\n"
      "C:\\WINDOWS\\Marwindl.Reg=C:\\NEW\\MARWIN~1.REG\r\n"
      "C:\\OTHER\\OTHER.DLL=C:\\OTHER\\OTHER.NEW\r\n"
      "[CombineVxDs]\r\n"
      "C:\\WINDOWS\\SYSTEM\\VMM32.VXD=C:\\X.VXD\r\n",
      ReadTextFile(Path));
}

TEST_F(PendingRenames, OnTheNtFamilyEveryLineIsAlsoADelayedMove) {
  ClearPendingMoves();
  const std::string source = PathJoin(Folder, "Marwindl.$$$");
  const std::string destination = PathJoin(Folder, "Marwindl.Exe");
  ASSERT_TRUE(WriteTextFile(source, "new"));
  ASSERT_TRUE(WriteTextFile(destination, "old"));
  OpenPendingRenameList();
  ASSERT_TRUE(AddPendingRename(destination, ShortPath(source)));
  const std::string moves = PendingMoves();
  if (NtFamily()) {
    EXPECT_NE(std::string::npos, moves.find(UpperCase(ShortPath(source)) + "|")) << moves;
    EXPECT_NE(std::string::npos, moves.find(UpperCase(destination) + "|")) << moves;
    EXPECT_LT(moves.find(UpperCase(ShortPath(source))), moves.find(UpperCase(destination))) << moves;
  } else {
    EXPECT_EQ("", moves) << "the 9x family has only WININIT.INI";
  }
  ClearPendingMoves();
}

TEST_F(PendingRenames, AListThatCannotBeWrittenNeverStopsTheRun) {
  SetupState.WindowsFolder = PathJoin(Folder, "no such folder");
  OpenPendingRenameList();
  EXPECT_FALSE(AddPendingRename("C:\\A.EXE", "C:\\A.$$$"));
  ClosePendingRenameList();
  // Adding after the close reports the failure too.
  EXPECT_FALSE(AddPendingRename("C:\\B.EXE", "C:\\B.$$$"));
}

TEST_F(PendingRenames, ShortPathGivesTheShortFormOfAnExistingFile) {
  const std::string folder = PathJoin(Folder, "A Long Folder Name");
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
  const std::string file = PathJoin(folder, "Marwindle Settings.Registry");
  ASSERT_TRUE(WriteTextFile(file, "x"));
  const std::string shortForm = ShortPath(file);
  EXPECT_EQ(std::string::npos, shortForm.find(' ')) << shortForm;
  EXPECT_NE(file, shortForm);
  // The short form names the same file.
  char longAgain[MAX_PATH] = {0};
  GetLongPathNameA(shortForm.c_str(), longAgain, sizeof(longAgain));
  EXPECT_EQ(UpperCase(file), UpperCase(longAgain));
  // A path without a short form is given back unchanged.
  EXPECT_EQ(PathJoin(folder, "missing file.txt"), ShortPath(PathJoin(folder, "missing file.txt")));
}

}  // namespace
