// TaskMan.Exe of the demo product: the task list that Marwindle! puts in
// place of the system's. Lists the visible top-level windows; a double
// click or Enter switches to one, Esc closes the list.
#include <windows.h>

namespace {
const int ListId = 100;
const char* const WindowClass = "MarwindleTaskList";
HWND List = nullptr;

BOOL CALLBACK AddWindow(HWND window, LPARAM) {
  if (!IsWindowVisible(window) || GetWindow(window, GW_OWNER) != nullptr) return TRUE;
  char title[256] = {0};
  if (GetWindowTextA(window, title, sizeof(title)) == 0) return TRUE;
  const LRESULT index = SendMessageA(List, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(title));
  if (index >= 0) SendMessageA(List, LB_SETITEMDATA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(window));
  return TRUE;
}

void Refill(HWND self) {
  SendMessageA(List, LB_RESETCONTENT, 0, 0);
  EnumWindows(AddWindow, 0);
  // Our own window is no task to switch to.
  const LRESULT count = SendMessageA(List, LB_GETCOUNT, 0, 0);
  for (LRESULT i = count - 1; i >= 0; --i) {
    if (reinterpret_cast<HWND>(SendMessageA(List, LB_GETITEMDATA, static_cast<WPARAM>(i), 0)) == self) {
      SendMessageA(List, LB_DELETESTRING, static_cast<WPARAM>(i), 0);
    }
  }
  SendMessageA(List, LB_SETCURSEL, 0, 0);
}

void SwitchToSelected(HWND self) {
  const LRESULT index = SendMessageA(List, LB_GETCURSEL, 0, 0);
  if (index < 0) return;
  HWND target = reinterpret_cast<HWND>(SendMessageA(List, LB_GETITEMDATA, static_cast<WPARAM>(index), 0));
  if (IsWindow(target)) {
    if (IsIconic(target)) ShowWindow(target, SW_RESTORE);
    SetForegroundWindow(target);
  }
  DestroyWindow(self);
}

LRESULT CALLBACK TaskListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      List = CreateWindowExA(WS_EX_CLIENTEDGE, "LISTBOX", "",
                             WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOTIFY | LBS_WANTKEYBOARDINPUT, 8, 8, 280, 200,
                             window, reinterpret_cast<HMENU>(ListId), nullptr, nullptr);
      Refill(window);
      return 0;
    case WM_SETFOCUS:
      SetFocus(List);
      return 0;
    case WM_VKEYTOITEM:
      if (LOWORD(wParam) == VK_RETURN) SwitchToSelected(window);
      if (LOWORD(wParam) == VK_ESCAPE) DestroyWindow(window);
      return -1;
    case WM_COMMAND:
      if (LOWORD(wParam) == ListId && HIWORD(wParam) == LBN_DBLCLK) SwitchToSelected(window);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}
}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = TaskListProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = WindowClass;
  RegisterClassA(&windowClass);
  HWND window = CreateWindowExA(WS_EX_TOPMOST, WindowClass, "Marwindle! Task List",
                                WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, CW_USEDEFAULT, CW_USEDEFAULT, 304, 248,
                                nullptr, nullptr, instance, nullptr);
  if (window == nullptr) return 1;
  ShowWindow(window, show);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return 0;
}
