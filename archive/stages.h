#pragma once
// The two stage dialogs: joining the disk parts, and unpacking the archive.
#include <windows.h>

INT_PTR CALLBACK JoinStage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK UnpackStage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
