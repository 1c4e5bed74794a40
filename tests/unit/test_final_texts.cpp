#include <gtest/gtest.h>

#include <string>

#include "setup/final_texts.h"
#include "setup/setup_config.h"

TEST(FinalTexts, QuestionsAreComposedFromTheProductName) {
  const SetupConfigRecord config = CompiledSetupConfig();
  EXPECT_EQ(SuccessRunQuestionText(config.SuccessRunText, config.ProductName),
            "Marwindle! has been successfully installed.\r\n\r\nDo you wish to run Marwindle!?");
  EXPECT_EQ(RestartQuestionText(config.ProductName),
            "Marwindle! had been successfully installed\r\n\r\n"
            "The system should be rebooted for the Marwindle! changes to take effect.\r\n\r\n"
            "Reboot Windows?");
  EXPECT_EQ(RunQuestionText(config.ProductName), "Do you wish to run Marwindle!?");
}

TEST(FinalTexts, IntegrationPathsJoinWithOneBackslash) {
  struct Case {
    const char* destination;
    const char* windows;
  };
  const Case cases[] = {{"C:\\Marwindle", "C:\\WINDOWS"}, {"C:\\Marwindle\\", "C:\\WINDOWS\\"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.destination);
    const IntegrationPaths p = ComposeIntegrationPaths(c.destination, c.windows);
    EXPECT_EQ(p.UninstallProgram, "C:\\Marwindle\\UnInstal.Exe");
    EXPECT_EQ(p.DriverSource, "C:\\Marwindle\\CTRLMW.SYS");
    EXPECT_EQ(p.DriverTarget, "C:\\WINDOWS\\System32\\Drivers\\CTRLMW.SYS");
    EXPECT_EQ(p.SystemTaskManager, "C:\\WINDOWS\\TaskMan.Exe");
    EXPECT_EQ(p.SavedTaskManager, "C:\\WINDOWS\\TaskMang.Exe");
    EXPECT_EQ(p.ProductTaskManager, "C:\\Marwindle\\TaskMan.Exe");
    EXPECT_EQ(p.RegistrationFile, "C:\\Marwindle\\Marwindl.Reg");
    EXPECT_EQ(p.RegistrationCopy, "C:\\Marwindle\\Marwindl1.Reg");
    EXPECT_EQ(p.RegistrationTarget, "C:\\WINDOWS\\Marwindl.Reg");
    EXPECT_EQ(p.ShellProgram, "C:\\Marwindle\\Marwindl.Exe");
    EXPECT_EQ(p.ShellProgramForIni, "C:\\Marwindle\\Marwindl.EXE");
    EXPECT_EQ(p.SystemIni, "C:\\WINDOWS\\SYSTEM.INI");
  }
}

TEST(FinalTexts, PathsFitUpTo255Characters) {
  EXPECT_TRUE(FitsSystemPath(""));
  EXPECT_TRUE(FitsSystemPath(std::string(255, 'a')));
  EXPECT_FALSE(FitsSystemPath(std::string(256, 'a')));
  // A destination that fits on its own can still make a file path too long.
  const std::string folder = "C:\\" + std::string(240, 'd');
  const IntegrationPaths p = ComposeIntegrationPaths(folder, "C:\\WINDOWS");
  EXPECT_TRUE(FitsSystemPath(folder));
  EXPECT_FALSE(FitsSystemPath(p.UninstallProgram)) << p.UninstallProgram.size();
  EXPECT_TRUE(FitsSystemPath(p.DriverTarget));
}
