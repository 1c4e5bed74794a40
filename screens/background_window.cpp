#include <windows.h>

#include "screens/background_window.h"

#include <vector>

#include "screens/gradient.h"
#include "setup/setup_config.h"
#include "setup/setup_state.h"

namespace {
const int LogoWidth = 204;
const int LogoHeight = 66;

void FillGradient(HDC dc) {
  const int width = SetupState.ScreenWidth;
  const int height = SetupState.ScreenHeight;
  if (GradientSteps(SetupConfig.GradientTopColor, SetupConfig.GradientBottomColor) == 0) {
    RECT all = {0, 0, width, height};
    HBRUSH brush = CreateSolidBrush(SetupConfig.GradientTopColor);
    FillRect(dc, &all, brush);
    DeleteObject(brush);
    return;
  }
  const std::vector<std::uint32_t> rows =
      GradientRows(SetupConfig.GradientTopColor, SetupConfig.GradientBottomColor, height);
  for (int y = 0; y < height; ++y) {
    RECT row = {0, y, width, y + 1};
    HBRUSH brush = CreateSolidBrush(rows[static_cast<std::size_t>(y)]);
    FillRect(dc, &row, brush);
    DeleteObject(brush);
  }
}
}  // namespace

LRESULT CALLBACK BackgroundWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_DESTROY:
    case WM_CLOSE:
      PostMessageA(window, WM_QUIT, 0, 0);
      break;
    case WM_PAINT:
      PaintBackground();
      break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

void PaintBackground() {
  HWND window = SetupState.MainWindow;
  HDC dc = GetDC(window);

  FillGradient(dc);
  SetBkMode(dc, TRANSPARENT);

  HFONT titleFont = CreateFontA(44, 0, 0, 0, 900, 1, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Times New Roman");
  HGDIOBJ oldFont = SelectObject(dc, titleFont);
  const std::string& title = SetupConfig.SetupTitle;
  SetTextColor(dc, ShadowColor(SetupConfig.TitleColor));
  TextOutA(dc, 24, 28, title.c_str(), static_cast<int>(title.size()));
  SetTextColor(dc, SetupConfig.TitleColor);
  TextOutA(dc, 22, 25, title.c_str(), static_cast<int>(title.size()));
  SelectObject(dc, oldFont);
  DeleteObject(titleFont);

  HDC logoDC = CreateCompatibleDC(dc);
  HGDIOBJ oldBitmap = SelectObject(logoDC, SetupState.LogoBitmap);
  BitBlt(dc, SetupState.ScreenWidth / 2 - LogoWidth / 2, SetupState.ScreenHeight - 72, LogoWidth, LogoHeight, logoDC,
         0, 0, SRCCOPY);
  // Put the memory context's own bitmap back so that the logo survives it.
  SelectObject(logoDC, oldBitmap);
  DeleteDC(logoDC);

  HFONT noticeFont = CreateFontA(12, 0, 0, 0, 900, 0, 0, 0, 0, 0, 0, 0, 0, "Small");
  oldFont = SelectObject(dc, noticeFont);
  const std::string& notice = SetupConfig.NoticeLine;
  TextOutA(dc, SetupState.ScreenWidth - 250, SetupState.ScreenHeight - 20, notice.c_str(),
           static_cast<int>(notice.size()));
  SelectObject(dc, oldFont);
  DeleteObject(noticeFont);

  ReleaseDC(window, dc);
}
