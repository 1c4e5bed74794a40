#include <windows.h>

#include "screens/dialogs.h"
#include "setup/setup_config.h"

namespace {
const int GroupEdit = 102;

void InitGroup(HWND dialog) {
  SetWindowTextA(dialog, "Program Group");
  CentreDialog(dialog);
  SendDlgItemMessageA(dialog, GroupEdit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(SetupConfig.GroupName.c_str()));
  // OK has the focus, so ENTER takes the proposed name at once.
  SetFocus(GetDlgItem(dialog, IDOK));
}

void AcceptGroup(HWND dialog) {
  char text[255] = {0};
  SendDlgItemMessageA(dialog, GroupEdit, WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text));
  SetupConfig.GroupName = text;
  EndDialog(dialog, 1);
}
}  // namespace

INT_PTR CALLBACK GroupDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  return QuestionDialogMessage(dialog, message, wParam, InitGroup, AcceptGroup, LeaveRule::AtOnce);
}
