#include <windows.h>

#include "screens/dialogs.h"
#include "setup/setup_config.h"
#include "setup/setup_sequence.h"
#include "setup/setup_state.h"

void CentreDialog(HWND dialog) {
  RECT d;
  GetWindowRect(dialog, &d);
  SetWindowPos(dialog, HWND_TOP, SetupState.ScreenWidth / 2 - (d.right - d.left) / 2,
               SetupState.ScreenHeight / 2 - (d.bottom - d.top) / 2, 0, 0, SWP_NOSIZE);
}

bool ConfirmExit() {
  const std::string caption = "Exit " + SetupConfig.ProductName;
  return MessageBoxA(nullptr, SetupConfig.ConfirmExitText.c_str(), caption.c_str(), MB_YESNO) == IDYES;
}

INT_PTR QuestionDialogMessage(HWND dialog, UINT message, WPARAM wParam, DialogStepProc init, DialogStepProc accept,
                              LeaveRule leave) {
  // Nothing may unwind through the system's dialog code.
  try {
    switch (message) {
      case WM_INITDIALOG:
        init(dialog);
        break;
      case WM_COMMAND:
      case WM_SYSCOMMAND:
        switch (LOWORD(wParam)) {
          case IDOK:
            accept(dialog);
            break;
          case IDCANCEL:
            if (leave == LeaveRule::AtOnce || ConfirmExit()) EndDialog(dialog, 0);
            break;
        }
        break;
      case WM_DESTROY:
        EndDialog(dialog, 0);
        break;
    }
  } catch (const std::exception& error) {
    KeepSetupError(error);
    EndDialog(dialog, 0);
  }
  return 0;
}
