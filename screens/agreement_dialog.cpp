#include <windows.h>

#include "screens/dialogs.h"

namespace {
const int AgreeButton = 1;
const DWORD AgreementBoxStyle = WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_READONLY | ES_MULTILINE;

void InitAgreement(HWND dialog) {
  RECT client;
  GetClientRect(dialog, &client);
  // The box is not in the template: it takes the client area less a margin
  // of 10 pixels, and 80 at the bottom for the notes and buttons.
  CreateWindowExA(WS_EX_CLIENTEDGE, "Edit", AgreementText, AgreementBoxStyle, 10, 10,
                  (client.right - client.left) - 20, (client.bottom - client.top) - 90, dialog, nullptr,
                  GetModuleHandleA(nullptr), nullptr);
  CentreDialog(dialog);
  SetFocus(GetDlgItem(dialog, AgreeButton));
}

void Agree(HWND dialog) { EndDialog(dialog, 1); }
}  // namespace

INT_PTR CALLBACK AgreementDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  return QuestionDialogMessage(dialog, message, wParam, InitAgreement, Agree, LeaveRule::Confirm);
}
