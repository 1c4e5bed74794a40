#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "setup/wininit_text.h"

namespace {

std::string Compose(const std::vector<std::string>& ours, const std::string& before) {
  return ComposeWinInit(ours, ParseWinInit(before));
}

TEST(WinInit, HeaderAndOurLinesInOrderWithCrLf) {
  EXPECT_EQ("[Rename]\r\n", Compose({}, ""));
  EXPECT_EQ("[Rename]\r\nC:\\M\\Marwindl.Exe=C:\\M\\MARWIN~1.$$$\r\nC:\\WINDOWS\\Marwindl.Reg=C:\\M\\MARWIN~1.REG\r\n",
            Compose({"C:\\M\\Marwindl.Exe=C:\\M\\MARWIN~1.$$$", "C:\\WINDOWS\\Marwindl.Reg=C:\\M\\MARWIN~1.REG"}, ""));
}

TEST(WinInit, KeepsWhatAnotherInstallationLeftAfterOurLines) {
  const std::string before =
      "[Rename]\n"
      "C:\\OTHER\\OTHER.DLL=C:\\OTHER\\OTHER.NEW\n"
      "NUL=C:\\OTHER\\OLD.TMP\n"
      "\n"
      "[CombineVxDs]\r\n"
      "C:\\WINDOWS\\SYSTEM\\VMM32.VXD=C:\\WINDOWS\\SYSTEM\\VMM32\\X.VXD\r\n";
  EXPECT_EQ(
      "[Rename]\r\n"
      "C:\\M\\A.EXE=C:\\M\\A.$$$\r\n"
      "C:\\OTHER\\OTHER.DLL=C:\\OTHER\\OTHER.NEW\r\n"
      "NUL=C:\\OTHER\\OLD.TMP\r\n"
      "[CombineVxDs]\r\n"
      "C:\\WINDOWS\\SYSTEM\\VMM32.VXD=C:\\WINDOWS\\SYSTEM\\VMM32\\X.VXD\r\n",
      Compose({"C:\\M\\A.EXE=C:\\M\\A.$$$"}, before));
}

TEST(WinInit, OurLineReplacesAnEarlierLineForTheSameDestination) {
  const std::string before =
      "[rename]\r\n"
      "c:\\windows\\marwindl.reg=C:\\OLDDIR\\MARWIN~1.REG\r\n"
      "; c:\\windows\\marwindl.reg=kept, a comment\r\n"
      "C:\\OTHER\\B.EXE=C:\\OTHER\\B.$$$\r\n";
  EXPECT_EQ(
      "[Rename]\r\n"
      "C:\\WINDOWS\\Marwindl.Reg=C:\\NEWDIR\\MARWIN~1.REG\r\n"
      "; c:\\windows\\marwindl.reg=kept, a comment\r\n"
      "C:\\OTHER\\B.EXE=C:\\OTHER\\B.$$$\r\n",
      Compose({"C:\\WINDOWS\\Marwindl.Reg=C:\\NEWDIR\\MARWIN~1.REG"}, before));
}

TEST(WinInit, SectionsBeforeRenameAndSeveralRenameSections) {
  const std::string before =
      "[Boot]\r\nx=1\r\n"
      "[Rename]\r\nC:\\A=C:\\B\r\n"
      "[Other]\r\ny=2\r\n"
      "[RENAME]\r\nC:\\C=C:\\D\r\n";
  EXPECT_EQ(
      "[Rename]\r\nC:\\E=C:\\F\r\nC:\\A=C:\\B\r\nC:\\C=C:\\D\r\n"
      "[Boot]\r\nx=1\r\n[Other]\r\ny=2\r\n",
      Compose({"C:\\E=C:\\F"}, before));
}

TEST(WinInit, LinesBeforeAnySectionNeverBecomeRenames) {
  // Such lines are carried out by nobody; after our header they would be.
  EXPECT_EQ(
      "[Rename]\r\nC:\\E=C:\\F\r\n"
      ";C:\\WINDOWS\\WIN.COM=C:\\EVIL\r\n"
      "; a comment\r\n"
      "[Other]\r\ny=2\r\n",
      Compose({"C:\\E=C:\\F"}, "C:\\WINDOWS\\WIN.COM=C:\\EVIL\r\n; a comment\r\n[Other]\r\ny=2\r\n"));
}

TEST(WinInit, ALastLineWithoutLineEnd) {
  EXPECT_EQ("[Rename]\r\nC:\\A=C:\\B\r\n[X]\r\nz=3\r\n", Compose({}, "[Rename]\r\nC:\\A=C:\\B\r\n[X]\r\nz=3"));
}

}  // namespace
