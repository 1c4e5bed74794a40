// Marwindl.Exe of the demo product: a full-screen desktop window that the
// user closes with Esc, a click or Alt+F4. Each start appends a line to
// Marwindl.log next to the program, so that a test can see it ran; when a
// file autoclose.txt lies next to it, the window closes by itself after the
// number of seconds written there (3 when it holds none).
#include <windows.h>

#include "demo_common.h"

namespace {
const char* const WindowClass = "MarwindleDesktop";
const UINT_PTR CloseTimer = 1;

void PaintDesktop(HWND window) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  RECT client;
  GetClientRect(window, &client);
  const int height = client.bottom > 0 ? client.bottom : 1;
  // A teal-to-black gradient in bands of 4 pixels.
  for (int y = 0; y < height; y += 4) {
    const int level = 255 - (y * 255) / height;
    HBRUSH band = CreateSolidBrush(RGB(0, level / 2, level / 2 + 32));
    RECT row = {0, y, client.right, y + 4};
    FillRect(dc, &row, band);
    DeleteObject(band);
  }
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(255, 255, 0));
  const char* title = "Marwindle!";
  TextOutA(dc, 24, 24, title, lstrlenA(title));
  SetTextColor(dc, RGB(255, 255, 255));
  const char* hint = "Press Esc or click anywhere to close.";
  TextOutA(dc, 24, 48, hint, lstrlenA(hint));
  EndPaint(window, &paint);
}

LRESULT CALLBACK DesktopProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      PaintDesktop(window);
      return 0;
    case WM_KEYDOWN:
      if (wParam == VK_ESCAPE) DestroyWindow(window);
      return 0;
    case WM_LBUTTONUP:
    case WM_TIMER:
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

// Seconds from autoclose.txt next to the program; 0 when there is none.
int AutoCloseSeconds() {
  const std::string text = DemoReadFile(DemoOwnFolder() + "autoclose.txt");
  if (text == DemoMissing) return 0;
  int seconds = 0;
  for (char c : text) {
    if (c < '0' || c > '9') break;
    seconds = seconds * 10 + (c - '0');
    if (seconds > 3600) break;
  }
  return seconds > 0 ? seconds : 3;
}
}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  DemoAppendLine(DemoOwnFolder() + "Marwindl.log", std::string("started ") + DemoVersion + " " + commandLine);

  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = DesktopProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  windowClass.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
  windowClass.lpszClassName = WindowClass;
  RegisterClassA(&windowClass);
  HWND window = CreateWindowExA(0, WindowClass, "Marwindle!", WS_POPUP | WS_VISIBLE, 0, 0,
                                GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr,
                                instance, nullptr);
  if (window == nullptr) return 1;
  SetForegroundWindow(window);
  const int seconds = AutoCloseSeconds();
  if (seconds > 0) SetTimer(window, CloseTimer, static_cast<UINT>(seconds) * 1000, nullptr);

  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return 0;
}
