#pragma once
// Which steps follow once the options dialog has closed.
#include <string>
#include <vector>

enum class FinalStep {
  RegisterUninstall,
  CopyDriverFile,
  ReplaceTaskManagerFiles,
  ReplaceWindowsShell,
  SuccessRunQuestion,
  RestartQuestion,
};

std::vector<FinalStep> PlanFinalRouting(int dialogResult, unsigned platformId, bool replaceTaskManager,
                                        bool replaceShell, const std::string& mainProgramFile);
