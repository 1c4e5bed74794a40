#pragma once
// The two stage dialogs: joining the disk parts, and unpacking the archive.
#include <windows.h>

#include <cstdint>
#include <string>

INT_PTR CALLBACK JoinStage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK UnpackStage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The message handling both stage dialogs share; work runs on StartWorkMessage
// and ends the dialog itself.
typedef void (*StageWorkProc)(HWND dialog);
INT_PTR StageDialogMessage(HWND dialog, UINT message, WPARAM wParam, StageWorkProc work);

// The fixed size against which the join's running total is shown.
const std::int32_t JoinProgressTotal = 2100000;

// "The file <path> could not be <what> (<the system's reason>)." and advice.
std::string FileFailureText(const std::string& what, const std::string& path, DWORD code);
// Tells the user why the stage cannot go on (owned by the stage dialog,
// caption ProductName) and stops the stage: InstallRunning 0.
void StageFailure(HWND dialog, const std::string& text);
