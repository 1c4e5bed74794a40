#pragma once
// The four question dialogs of the chain and their shared conventions.
#include <windows.h>

#include <string>

INT_PTR CALLBACK DestinationDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK AgreementDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK GroupDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK ReplaceDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Centres a dialog on the screen (ScreenWidth, ScreenHeight).
void CentreDialog(HWND dialog);
// "Exit " + ProductName over ConfirmExitText; true on Yes.
bool ConfirmExit();

bool EnsureDestinationFolder(const std::string& path);
bool FolderExists(const std::string& path);
bool DriveExists(char letter);
bool HasWildcards(const std::string& text);

extern const char* AgreementText;
