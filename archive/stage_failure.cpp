#include <windows.h>

#include "archive/stages.h"

#include "runtime/record_file.h"
#include "screens/dialogs.h"
#include "screens/progress_meter.h"
#include "setup/setup_sequence.h"
#include "setup/setup_state.h"
#include "setup/install_running.h"
#include "setup/setup_config.h"

std::string FileFailureText(const std::string& what, const std::string& path, DWORD code) {
  std::string text = "The file " + path + " could not be " + what + " (" + SystemErrorText(code) + ").";
  if (code == ERROR_DISK_FULL || code == ERROR_HANDLE_DISK_FULL) {
    text += "\r\nPlease make room on the disk and run the Setup program again.";
  }
  return text;
}

void StageFailure(HWND dialog, const std::string& text) {
  InstallRunning = 0;
  MessageBoxA(dialog, text.c_str(), SetupConfig.ProductName.c_str(), MB_OK | MB_ICONERROR);
}

INT_PTR StageDialogMessage(HWND dialog, UINT message, WPARAM wParam, StageWorkProc work) {
  // Nothing may unwind through the system's dialog code.
  try {
    switch (message) {
      case WM_INITDIALOG:
        SetWindowTextA(dialog, "Please Stand By...");
        CreateMeter(dialog);
        SetFocus(GetDlgItem(dialog, 2));
        PostMessageA(dialog, StartWorkMessage, 0, 0);
        return 0;
      case WM_COMMAND:
      case WM_SYSCOMMAND:
        if (LOWORD(wParam) == 2 && ConfirmExit()) InstallRunning = 0;
        return 0;
      case WM_DESTROY:
        InstallRunning = 0;
        return 0;
      default:
        if (message == StartWorkMessage) {
          work(dialog);
          return 1;
        }
        return 0;
    }
  } catch (const std::exception& error) {
    KeepSetupError(error);
    InstallRunning = 0;
    if (message != WM_DESTROY) EndDialog(dialog, 0);
    return 0;
  }
}
