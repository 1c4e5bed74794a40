#pragma once
// The full-screen window behind every dialog of the chain.
#include <windows.h>

LRESULT CALLBACK BackgroundWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void PaintBackground();
