#pragma once
// Helpers for driving the setup screens through real message flow: a modal
// dialog runs on the test's thread while a script plays the user on a
// second thread, posting commands and keys and answering message boxes.
#undef WINVER
#define WINVER 0x0500
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace screens_test {

// Runs the dialog template `name` of this program with `procedure` as a
// modal dialog on the calling thread; `user` runs on a second thread once
// the dialog is visible and gets its handle. Returns the dialog's result.
// If the dialog is still open 10 s after `user` returns, the test fails and
// the dialog is closed by force.
INT_PTR RunDialog(const char* name, DLGPROC procedure, const std::function<void(HWND dialog)>& user,
                  HWND owner = nullptr);

// A top-level dialog-class window (#32770) of `thread` other than `except`
// with this caption, waited for up to `ms`; null if none came.
HWND WaitForDialogWindow(DWORD thread, const char* caption, HWND except = nullptr, int ms = 5000);
// True when, over `ms`, no dialog-class window other than `except` shows up
// on `thread` (no message box was asked).
bool NoOtherDialogFor(DWORD thread, HWND except, int ms);
// The text of a message box (its static text control).
std::string MessageBoxText(HWND box);
// Answers a message box with a button id (IDYES, IDNO, IDOK, ...).
void AnswerMessageBox(HWND box, int id);
// Waits up to `ms` for the window to be destroyed.
bool WaitUntilGone(HWND window, int ms = 5000);

std::string WindowText(HWND window);
std::string ItemText(HWND dialog, int id);
void SetItemText(HWND dialog, int id, const std::string& text);
// Posts a WM_COMMAND or WM_SYSCOMMAND and gives the dialog time to act.
void PostCommand(HWND dialog, UINT message, WPARAM wParam);
// Types characters into a control as the keyboard would (WM_CHAR).
void TypeInto(HWND control, const std::string& text);
// ENTER on the window that has the focus in the dialog's thread.
void PressEnter(HWND dialog);
// The focus window of the thread that owns `window`.
HWND FocusOf(HWND window);
// The top-left corner that centring on ScreenWidth x ScreenHeight gives.
POINT CentredCorner(HWND window);

// The screen as 32-bit pixels, read back from the screen's device context.
struct ScreenPixels {
  int Width = 0;
  int Height = 0;
  std::vector<std::uint32_t> Bits;  // 0x00RRGGBB, top-down
  // As a COLORREF (0x00BBGGRR), as GetPixel gives it.
  COLORREF At(int x, int y) const;
};
ScreenPixels CaptureScreen();

// Runs the thread's messages for `ms` milliseconds.
void PumpFor(int ms);

// Registry helpers for preparing a case; all return true on success.
bool SetRegistryString(HKEY root, const std::string& key, const std::string& name, const std::string& value);
bool DeleteRegistryValue(HKEY root, const std::string& key, const std::string& name);
// The value, or `missing` when it cannot be read.
std::string RegistryString(HKEY root, const std::string& key, const std::string& name,
                           const std::string& missing = "<missing>");
bool RegistryKeyExists(HKEY root, const std::string& key);

}  // namespace screens_test
