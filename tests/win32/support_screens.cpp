#include "support_screens.h"

#include <gtest/gtest.h>

#include "setup/setup_state.h"

namespace screens_test {
namespace {

struct DialogRun {
  DWORD Thread;
  const std::function<void(HWND)>* User;
  HWND Dialog;
};

struct DialogSearch {
  const char* Caption;
  HWND Except;
  HWND Found;
};

BOOL CALLBACK MatchDialog(HWND window, LPARAM data) {
  DialogSearch* s = reinterpret_cast<DialogSearch*>(data);
  char cls[64] = {0};
  GetClassNameA(window, cls, sizeof(cls));
  if (window == s->Except || lstrcmpA(cls, "#32770") != 0 || !IsWindowVisible(window)) return TRUE;
  if (s->Caption != nullptr && WindowText(window) != s->Caption) return TRUE;
  s->Found = window;
  return FALSE;
}

HWND FindVisibleDialog(DWORD thread, const char* caption, HWND except) {
  DialogSearch search = {caption, except, nullptr};
  EnumThreadWindows(thread, MatchDialog, reinterpret_cast<LPARAM>(&search));
  return search.Found;
}

BOOL CALLBACK MatchBoxText(HWND child, LPARAM data) {
  std::string* text = reinterpret_cast<std::string*>(data);
  char cls[32] = {0};
  GetClassNameA(child, cls, sizeof(cls));
  if (lstrcmpiA(cls, "Static") != 0) return TRUE;
  const std::string s = WindowText(child);
  if (s.empty()) return TRUE;  // the icon
  *text = s;
  return FALSE;
}

// Ends a dialog that a failed script left open: Cancel, and Yes to any question.
void ForceEnd(DWORD thread, HWND dialog) {
  for (int i = 0; i < 50 && IsWindow(dialog); ++i) {
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    Sleep(100);
    if (HWND box = FindVisibleDialog(thread, nullptr, dialog)) AnswerMessageBox(box, IDYES);
  }
}

// The dialog under test is known by its WM_INITDIALOG, not by a search: a
// message box that the dialog shows at once would be found first otherwise.
DLGPROC InnerProcedure = nullptr;
HWND volatile OpenedDialog = nullptr;

INT_PTR CALLBACK RecordingProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    const INT_PTR result = InnerProcedure(dialog, message, wParam, lParam);
    OpenedDialog = dialog;
    return result;
  }
  return InnerProcedure(dialog, message, wParam, lParam);
}

HWND WaitForOpenedDialog(int ms) {
  for (int waited = 0; waited <= ms; waited += 20) {
    HWND dialog = OpenedDialog;
    if (dialog != nullptr && IsWindowVisible(dialog)) return dialog;
    Sleep(20);
  }
  return nullptr;
}

DWORD WINAPI UserThread(LPVOID data) {
  DialogRun* run = static_cast<DialogRun*>(data);
  HWND dialog = WaitForOpenedDialog(10000);
  if (dialog == nullptr) {
    ADD_FAILURE() << "the dialog did not show up";
    return 0;
  }
  run->Dialog = dialog;
  (*run->User)(dialog);
  if (!WaitUntilGone(dialog, 10000)) {
    ADD_FAILURE() << "the dialog was still open at the end of the script";
    ForceEnd(run->Thread, dialog);
  }
  return 0;
}

}  // namespace

INT_PTR RunDialog(const char* name, DLGPROC procedure, const std::function<void(HWND)>& user, HWND owner) {
  DialogRun run = {GetCurrentThreadId(), &user, nullptr};
  InnerProcedure = procedure;
  OpenedDialog = nullptr;
  HANDLE thread = CreateThread(nullptr, 0, UserThread, &run, 0, nullptr);
  const INT_PTR result = DialogBoxParamA(GetModuleHandleA(nullptr), name, owner, RecordingProcedure, 0);
  // The script may still be checking what the closed dialog left behind.
  while (MsgWaitForMultipleObjects(1, &thread, FALSE, 20000, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) PumpFor(0);
  CloseHandle(thread);
  return result;
}

HWND WaitForDialogWindow(DWORD thread, const char* caption, HWND except, int ms) {
  for (int waited = 0; waited <= ms; waited += 20) {
    if (HWND found = FindVisibleDialog(thread, caption, except)) return found;
    Sleep(20);
  }
  return nullptr;
}

bool NoOtherDialogFor(DWORD thread, HWND except, int ms) {
  return WaitForDialogWindow(thread, nullptr, except, ms) == nullptr;
}

std::string MessageBoxText(HWND box) {
  std::string text;
  EnumChildWindows(box, MatchBoxText, reinterpret_cast<LPARAM>(&text));
  return text;
}

void AnswerMessageBox(HWND box, int id) { PostMessageA(box, WM_COMMAND, static_cast<WPARAM>(id), 0); }

bool WaitUntilGone(HWND window, int ms) {
  for (int waited = 0; waited <= ms; waited += 20) {
    if (!IsWindow(window)) return true;
    Sleep(20);
  }
  return !IsWindow(window);
}

std::string WindowText(HWND window) {
  char text[4096] = {0};
  GetWindowTextA(window, text, sizeof(text));
  return text;
}

std::string ItemText(HWND dialog, int id) {
  std::vector<char> text(65536, '\0');
  SendDlgItemMessageA(dialog, id, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  return text.data();
}

void SetItemText(HWND dialog, int id, const std::string& text) {
  SendDlgItemMessageA(dialog, id, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void PostCommand(HWND dialog, UINT message, WPARAM wParam) {
  PostMessageA(dialog, message, wParam, 0);
  Sleep(200);
}

void TypeInto(HWND control, const std::string& text) {
  for (char ch : text) SendMessageA(control, WM_CHAR, static_cast<unsigned char>(ch), 1);
}

HWND FocusOf(HWND window) {
  GUITHREADINFO info;
  info.cbSize = sizeof(info);
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
  return info.hwndFocus;
}

void PressEnter(HWND dialog) {
  HWND target = FocusOf(dialog);
  if (target == nullptr) target = dialog;
  PostMessageA(target, WM_KEYDOWN, VK_RETURN, 0x001C0001);
  PostMessageA(target, WM_KEYUP, VK_RETURN, 0xC01C0001);
}

POINT CentredCorner(HWND window) {
  RECT r;
  GetWindowRect(window, &r);
  return POINT{SetupState.ScreenWidth / 2 - (r.right - r.left) / 2, SetupState.ScreenHeight / 2 - (r.bottom - r.top) / 2};
}

ScreenPixels CaptureScreen() {
  ScreenPixels shot;
  shot.Width = GetSystemMetrics(SM_CXSCREEN);
  shot.Height = GetSystemMetrics(SM_CYSCREEN);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = shot.Width;
  info.bmiHeader.biHeight = -shot.Height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  void* bits = nullptr;
  HBITMAP section = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, section);
  BitBlt(memory, 0, 0, shot.Width, shot.Height, screen, 0, 0, SRCCOPY);
  GdiFlush();
  const std::uint32_t* pixels = static_cast<const std::uint32_t*>(bits);
  shot.Bits.assign(pixels, pixels + static_cast<std::size_t>(shot.Width) * shot.Height);
  SelectObject(memory, old);
  DeleteObject(section);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return shot;
}

COLORREF ScreenPixels::At(int x, int y) const {
  const std::uint32_t p = Bits[static_cast<std::size_t>(y) * Width + x] & 0xFFFFFF;
  return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

void PumpFor(int ms) {
  const DWORD start = GetTickCount();
  do {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    if (ms > 0) Sleep(10);
  } while (static_cast<int>(GetTickCount() - start) < ms);
}

bool SetRegistryString(HKEY root, const std::string& key, const std::string& name, const std::string& value) {
  HKEY k = nullptr;
  if (RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr) != ERROR_SUCCESS) {
    return false;
  }
  const LONG rc = RegSetValueExA(k, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                 static_cast<DWORD>(value.size() + 1));
  RegCloseKey(k);
  return rc == ERROR_SUCCESS;
}

bool DeleteRegistryValue(HKEY root, const std::string& key, const std::string& name) {
  HKEY k = nullptr;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_ALL_ACCESS, &k) != ERROR_SUCCESS) return false;
  const LONG rc = RegDeleteValueA(k, name.c_str());
  RegCloseKey(k);
  return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
}

std::string RegistryString(HKEY root, const std::string& key, const std::string& name, const std::string& missing) {
  HKEY k = nullptr;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return missing;
  char data[1024] = {0};
  DWORD size = sizeof(data) - 1;
  DWORD type = 0;
  const LONG rc = RegQueryValueExA(k, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
  RegCloseKey(k);
  return rc == ERROR_SUCCESS ? std::string(data) : missing;
}

bool RegistryKeyExists(HKEY root, const std::string& key) {
  HKEY k = nullptr;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
  RegCloseKey(k);
  return true;
}

}  // namespace screens_test
