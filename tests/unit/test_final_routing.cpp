#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "setup/final_routing.h"

namespace {

using F = FinalStep;

std::string Names(const std::vector<FinalStep>& steps) {
  std::string out;
  for (FinalStep step : steps) {
    if (!out.empty()) out += " ";
    switch (step) {
      case F::RegisterUninstall: out += "Uninstall"; break;
      case F::CopyDriverFile: out += "Driver"; break;
      case F::ReplaceTaskManagerFiles: out += "TaskManager"; break;
      case F::ReplaceWindowsShell: out += "Shell"; break;
      case F::SuccessRunQuestion: out += "SuccessRun"; break;
      case F::RestartQuestion: out += "Restart"; break;
    }
  }
  return out;
}

struct RoutingCase {
  int DialogResult;
  bool TaskManager;
  bool Shell;
  const char* MainProgramFile;
  const char* Expected;  // on the 9x family; the NT family adds Driver after Uninstall
};

TEST(FinalRouting, EveryDialogResultOptionAndMainProgramName) {
  const RoutingCase cases[] = {
      // Options dialog cancelled: never an option, always the offer to run.
      {0, false, false, "Marwindl.Exe", "Uninstall SuccessRun"},
      {0, false, false, "Marwindl.$$$", "Uninstall SuccessRun"},
      {0, true, true, "Marwindl.Exe", "Uninstall SuccessRun"},
      {-1, true, false, "Marwindl.$$$", "Uninstall SuccessRun"},
      {2, false, true, "Marwindl.Exe", "Uninstall SuccessRun"},
      // OK with no option: the main program's name decides.
      {1, false, false, "Marwindl.Exe", "Uninstall SuccessRun"},
      {1, false, false, "MARWINDL.EXE", "Uninstall SuccessRun"},
      {1, false, false, "marwindl.exe", "Uninstall SuccessRun"},
      {1, false, false, "Marwindl.$$$", "Uninstall Restart"},
      {1, false, false, "Marwindl", "Uninstall Restart"},
      {1, false, false, "Marwindl.Exe2", "Uninstall Restart"},
      // OK with options: applied in this order, then the restart question.
      {1, true, false, "Marwindl.Exe", "Uninstall TaskManager Restart"},
      {1, false, true, "Marwindl.Exe", "Uninstall Shell Restart"},
      {1, true, true, "Marwindl.Exe", "Uninstall TaskManager Shell Restart"},
      {1, true, true, "Marwindl.$$$", "Uninstall TaskManager Shell Restart"},
  };
  for (const RoutingCase& c : cases) {
    for (unsigned platform : {0u, 1u, 2u}) {
      std::string expected = c.Expected;
      if (platform == 2) expected.insert(std::string("Uninstall").size(), " Driver");
      EXPECT_EQ(expected, Names(PlanFinalRouting(c.DialogResult, platform, c.TaskManager, c.Shell,
                                                 c.MainProgramFile)))
          << "result " << c.DialogResult << ", task manager " << c.TaskManager << ", shell " << c.Shell << ", "
          << c.MainProgramFile << ", platform " << platform;
    }
  }
}

}  // namespace
