// The background window, read back from the real screen.
// MW_TEST_SCREEN_1024: also run on a 1024 x 768 screen.
#include "support_screens.h"

#include <gtest/gtest.h>

#include <map>

#include "screens/background_window.h"
#include "screens/gradient.h"
#include "setup/setup_config.h"
#include "setup/setup_state.h"

using namespace screens_test;

namespace {
const COLORREF Yellow = RGB(255, 255, 0);
const COLORREF Cyan = RGB(0, 255, 255);
const COLORREF White = RGB(255, 255, 255);
const COLORREF Black = RGB(0, 0, 0);

// A window of the setup's own class, as the setup makes it at start-up.
HWND CreateBackground() {
  static bool registered = false;
  if (!registered) {
    WNDCLASSA c = {};
    c.style = CS_PARENTDC;
    c.lpfnWndProc = BackgroundWindowProc;
    c.hInstance = GetModuleHandleA(nullptr);
    c.lpszClassName = "TMSetUp";
    registered = RegisterClassA(&c) != 0;
  }
  return CreateWindowExA(0, "TMSetUp", "Installation", WS_POPUP | WS_VISIBLE, 0, 0, SetupState.ScreenWidth,
                         SetupState.ScreenHeight, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

class BackgroundTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    SetupConfig = CompiledSetupConfig();
    SetupState.ScreenWidth = GetSystemMetrics(SM_CXSCREEN);
    SetupState.ScreenHeight = GetSystemMetrics(SM_CYSCREEN);
    SetupState.LogoBitmap = LoadBitmapA(GetModuleHandleA(nullptr), "logo");
    SetupState.MainWindow = CreateBackground();
  }
  void SetUp() override {
    ASSERT_NE(SetupState.MainWindow, nullptr);
    ASSERT_NE(SetupState.LogoBitmap, nullptr) << "no LOGO bitmap in the resources";
    SetupConfig = CompiledSetupConfig();
    InvalidateRect(SetupState.MainWindow, nullptr, FALSE);
    PumpFor(500);
    screen = CaptureScreen();
  }
  int Width() const { return SetupState.ScreenWidth; }
  int Height() const { return SetupState.ScreenHeight; }
  ScreenPixels screen;
};

// The blue channel of the configured gradient (blue to black) at chosen
// rows: one unit a row on 480 rows, one every third row on 768.
TEST_F(BackgroundTest, GradientRowsOnTheScreen) {
  const std::map<int, std::map<int, int>> blueAtRow = {
      {480, {{0, 255}, {1, 254}, {100, 155}, {254, 1}, {255, 0}, {300, 0}, {479, 0}}},
      {768, {{0, 255}, {2, 255}, {3, 254}, {300, 155}, {764, 1}, {765, 0}, {767, 0}}},
  };
  const auto probes = blueAtRow.find(Height());
  if (probes == blueAtRow.end()) GTEST_SKIP() << "no probes for a screen " << Height() << " rows high";
  for (const auto& probe : probes->second) {
    EXPECT_EQ(screen.At(5, probe.first), RGB(0, 0, probe.second)) << "row " << probe.first;
  }
  // Every row of the left edge, which no text or picture covers.
  const std::vector<std::uint32_t> rows = GradientRows(SetupConfig.GradientTopColor, SetupConfig.GradientBottomColor,
                                                       Height());
  for (int y = 0; y < Height(); ++y) ASSERT_EQ(screen.At(3, y), rows[y]) << "row " << y;
}

// The title in its colour over a black shadow (yellow is light), and no
// white anywhere in the title's band.
TEST_F(BackgroundTest, TitleWithItsShadow) {
  int yellow = 0, black = 0, white = 0;
  for (int y = 20; y < 90; ++y) {
    for (int x = 15; x < Width(); ++x) {
      const COLORREF c = screen.At(x, y);
      yellow += c == Yellow;
      black += c == Black;
      white += c == White;
    }
  }
  EXPECT_GT(yellow, 200);
  EXPECT_GT(black, 50) << "the shadow should be black";
  EXPECT_EQ(white, 0);
}

// The logo sits at (ScreenWidth / 2 - 102, ScreenHeight - 72), pixel for
// pixel as the bitmap resource, except where the notice line crosses it.
TEST_F(BackgroundTest, LogoPlacedPixelForPixel) {
  const int left = Width() / 2 - 102;
  const int top = Height() - 72;
  HDC dc = GetDC(nullptr);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = 204;
  info.bmiHeader.biHeight = -66;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  std::vector<std::uint32_t> logo(204 * 66);
  const int lines = GetDIBits(dc, SetupState.LogoBitmap, 0, 66, logo.data(), &info, DIB_RGB_COLORS);
  ReleaseDC(nullptr, dc);
  ASSERT_EQ(lines, 66);

  EXPECT_EQ(screen.At(left, top), Cyan) << "top-left corner";
  EXPECT_EQ(screen.At(left + 203, top + 65), Cyan) << "bottom-right corner";
  EXPECT_NE(screen.At(left - 1, top), Cyan);
  EXPECT_NE(screen.At(left, top - 1), Cyan);
  EXPECT_NE(screen.At(left + 204, top + 65), Cyan);
  EXPECT_NE(screen.At(left + 203, top + 66), Cyan);
  int differing = 0;
  for (int y = 0; y < 66; ++y) {
    for (int x = 0; x < 204; ++x) {
      if (left + x >= Width() - 250 && top + y >= Height() - 20) continue;  // the notice line
      const std::uint32_t p = logo[y * 204 + x] & 0xFFFFFF;
      differing += screen.At(left + x, top + y) != RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
  }
  EXPECT_EQ(differing, 0);
}

// The notice line starts 250 pixels from the right edge, 20 above the
// bottom, in the title's colour and without a shadow.
TEST_F(BackgroundTest, NoticeLineAtTheBottomRight) {
  const int logoRight = Width() / 2 + 102;
  int inBand = 0, leftOfBand = 0;
  for (int y = Height() - 20; y < Height(); ++y) {
    for (int x = 0; x < Width(); ++x) {
      if (screen.At(x, y) != Yellow) continue;
      if (x >= Width() - 250) {
        ++inBand;
      } else if (x < Width() / 2 - 102 || x > logoRight) {
        ++leftOfBand;
      }
    }
  }
  EXPECT_GT(inBand, 30);
  EXPECT_EQ(leftOfBand, 0);
  for (int x = Width() - 250; x < Width(); ++x) ASSERT_NE(screen.At(x, Height() - 21), Yellow) << "x " << x;
}

TEST_F(BackgroundTest, EqualColoursFillOneColour) {
  SetupConfig.GradientTopColor = RGB(10, 120, 30);
  SetupConfig.GradientBottomColor = RGB(10, 120, 30);
  InvalidateRect(SetupState.MainWindow, nullptr, FALSE);
  PumpFor(500);
  const ScreenPixels shot = CaptureScreen();
  for (int y = 0; y < Height(); y += 7) ASSERT_EQ(shot.At(3, y), RGB(10, 120, 30)) << "row " << y;
  EXPECT_EQ(shot.At(Width() - 1, 0), RGB(10, 120, 30));
}

int TakeQuitMessages() {
  int quits = 0;
  MSG msg;
  while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) ++quits;
  return quits;
}

// Destruction and closing each post a quit message; closing also destroys
// the window.
TEST_F(BackgroundTest, CloseAndDestroyPostQuit) {
  HWND window = CreateBackground();
  ASSERT_NE(window, nullptr);
  PumpFor(200);
  TakeQuitMessages();
  BackgroundWindowProc(window, WM_DESTROY, 0, 0);
  EXPECT_EQ(TakeQuitMessages(), 1) << "WM_DESTROY";
  EXPECT_TRUE(IsWindow(window));
  SendMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(window)) << "WM_CLOSE should end in the default destruction";
  EXPECT_GE(TakeQuitMessages(), 1) << "WM_CLOSE";
}
}  // namespace
