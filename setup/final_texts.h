#pragma once
// Texts of the final questions and the paths that system integration
// touches. Plain computation, so that both build natively and are checked
// without Wine.
#include <cstddef>
#include <string>

std::string SuccessRunQuestionText(const std::string& successRunText, const std::string& productName);
std::string RestartQuestionText(const std::string& productName);
std::string RunQuestionText(const std::string& productName);

// The paths of system integration are kept to 255 characters, the room that
// the short-path conversion gives. A longer path is never cut short: the
// step that needs it does not run.
const std::size_t MaxSystemPath = 255;
bool FitsSystemPath(const std::string& path);

// Every path of system integration, from the destination and Windows
// folders; the literal names are those the installed product expects.
struct IntegrationPaths {
  std::string UninstallProgram;     // destination\UnInstal.Exe
  std::string DriverSource;         // destination\CTRLMW.SYS
  std::string DriverTarget;         // windows\System32\Drivers\CTRLMW.SYS
  std::string SystemTaskManager;    // windows\TaskMan.Exe
  std::string SavedTaskManager;     // windows\TaskMang.Exe
  std::string ProductTaskManager;   // destination\TaskMan.Exe
  std::string RegistrationFile;     // destination\Marwindl.Reg
  std::string RegistrationCopy;     // destination\Marwindl1.Reg
  std::string RegistrationTarget;   // windows\Marwindl.Reg
  std::string ShellProgram;         // destination\Marwindl.Exe (the NT shell value)
  std::string ShellProgramForIni;   // destination\Marwindl.EXE (shortened for SYSTEM.INI)
  std::string SystemIni;            // windows\SYSTEM.INI
};

IntegrationPaths ComposeIntegrationPaths(const std::string& destinationFolder, const std::string& windowsFolder);
