#pragma once
// The four question dialogs of the chain and their shared conventions.
#include <windows.h>

#include <string>

INT_PTR CALLBACK DestinationDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK AgreementDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK GroupDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK ReplaceDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// How a question dialog leaves on id 2: after the exit confirmation, or at once.
enum class LeaveRule { Confirm, AtOnce };
typedef void (*DialogStepProc)(HWND dialog);

// The message handling the four question dialogs share: commands by the low
// word of wParam for WM_COMMAND and WM_SYSCOMMAND alike, id 1 accepts, id 2
// leaves with 0, WM_DESTROY ends with 0, and 0 returned for every message.
INT_PTR QuestionDialogMessage(HWND dialog, UINT message, WPARAM wParam, DialogStepProc init, DialogStepProc accept,
                              LeaveRule leave);

// Centres a dialog on the screen (ScreenWidth, ScreenHeight).
void CentreDialog(HWND dialog);
// "Exit " + ProductName over ConfirmExitText; true on Yes.
bool ConfirmExit();

bool EnsureDestinationFolder(const std::string& path);
bool FolderExists(const std::string& path);
bool DriveExists(char letter);
bool HasWildcards(const std::string& text);

extern const char* AgreementText;
