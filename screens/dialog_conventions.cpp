#include <windows.h>

#include "screens/dialogs.h"
#include "setup/setup_config.h"
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
