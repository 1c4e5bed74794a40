#include <windows.h>

#include "setup/restart_launch.h"

#include "runtime/file_names.h"
#include "setup/final_texts.h"
#include "setup/setup_config.h"
#include "setup/setup_state.h"

namespace {
// Yes and No, no owner window; only Yes acts.
bool AskYes(const std::string& text) {
  return MessageBoxA(nullptr, text.c_str(), SetupConfig.ProductName.c_str(), MB_YESNO) == IDYES;
}
}  // namespace

void SuccessRunQuestion() {
  if (AskYes(SuccessRunQuestionText(SetupConfig.SuccessRunText, SetupConfig.ProductName))) RunInstalledProgram();
}

void RestartQuestion() {
  if (AskYes(RestartQuestionText(SetupConfig.ProductName))) {
    RestartWindows();
  } else {
    RunQuestion();
  }
}

void RunQuestion() {
  if (AskYes(RunQuestionText(SetupConfig.ProductName))) RunInstalledProgram();
}

void RestartWindows() {
  // The 9x family has no process tokens; there the restart needs no privilege.
  HANDLE token = nullptr;
  if (OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) {
    TOKEN_PRIVILEGES privileges = {};
    LookupPrivilegeValueA("", "SeShutdownPrivilege", &privileges.Privileges[0].Luid);
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
    CloseHandle(token);
  }
  // No EWX_FORCE: running programs are asked to close in the ordinary way.
  ExitWindowsEx(EWX_REBOOT, 0);
}

void RunInstalledProgram() {
  // A program written under its ".$$$" name is started under its own name,
  // which until the restart is still the earlier program.
  SetupConfig.MainProgramFile = ChangeFileExt(SetupConfig.MainProgramFile, ".Exe");
  const std::string program = PathJoin(SetupState.DestinationFolder, SetupConfig.MainProgramFile);
  ShellExecuteA(SetupState.MainWindow, nullptr, program.c_str(), nullptr, SetupState.DestinationFolder.c_str(),
                SW_SHOW);
}
