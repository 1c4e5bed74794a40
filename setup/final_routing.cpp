#include "setup/final_routing.h"

#include "runtime/file_names.h"

std::vector<FinalStep> PlanFinalRouting(int dialogResult, unsigned platformId, bool replaceTaskManager,
                                        bool replaceShell, const std::string& mainProgramFile) {
  std::vector<FinalStep> steps{FinalStep::RegisterUninstall};
  if (platformId == 2) steps.push_back(FinalStep::CopyDriverFile);
  if (dialogResult != 1) {
    steps.push_back(FinalStep::SuccessRunQuestion);
    return steps;
  }
  // The extension test is what sends an installation over a program in use
  // to the restart question.
  if (!replaceTaskManager && !replaceShell && UpperCase(ExtractFileExt(mainProgramFile)) == ".EXE") {
    steps.push_back(FinalStep::SuccessRunQuestion);
    return steps;
  }
  if (replaceTaskManager) steps.push_back(FinalStep::ReplaceTaskManagerFiles);
  if (replaceShell) steps.push_back(FinalStep::ReplaceWindowsShell);
  steps.push_back(FinalStep::RestartQuestion);
  return steps;
}
