#include <windows.h>

#include "screens/dialogs.h"
#include "setup/setup_state.h"

namespace {
const int TaskManagerBox = 103;
const int ShellBox = 104;

void InitReplace(HWND dialog) {
  SetWindowTextA(dialog, "Windows Interface");
  CentreDialog(dialog);
  SetFocus(GetDlgItem(dialog, IDOK));
}

// The boxes are read once, on OK; Cancel leaves both flags as they were.
void AcceptReplace(HWND dialog) {
  SetupState.ReplaceTaskManager = IsDlgButtonChecked(dialog, TaskManagerBox) == BST_CHECKED;
  SetupState.ReplaceShell = IsDlgButtonChecked(dialog, ShellBox) == BST_CHECKED;
  EndDialog(dialog, 1);
}
}  // namespace

INT_PTR CALLBACK ReplaceDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  return QuestionDialogMessage(dialog, message, wParam, InitReplace, AcceptReplace, LeaveRule::AtOnce);
}
