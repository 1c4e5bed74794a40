// The progress meter drawn into a real stage dialog, read back pixel by pixel.
// MW_TEST_ALSO_ON_WIN98
#include "support_screens.h"

#include <gtest/gtest.h>

#include "screens/meter_geometry.h"
#include "screens/progress_meter.h"
#include "setup/install_running.h"
#include "setup/setup_state.h"

using namespace screens_test;

namespace {
const COLORREF Red = RGB(255, 0, 0);
const COLORREF White = RGB(255, 255, 255);
const COLORREF Blue = RGB(0, 0, 255);

INT_PTR CALLBACK PlainDialog(HWND, UINT, WPARAM, LPARAM) { return 0; }

// The stage template, shown modeless on this thread so that the test can
// draw and read back between messages.
class MeterTest : public ::testing::Test {
protected:
  void SetUp() override {
    SetupState.ScreenWidth = GetSystemMetrics(SM_CXSCREEN);
    SetupState.ScreenHeight = GetSystemMetrics(SM_CYSCREEN);
    dialog = CreateDialogParamA(GetModuleHandleA(nullptr), "Progress", nullptr, PlainDialog, 0);
    ASSERT_NE(dialog, nullptr);
    ShowWindow(dialog, SW_SHOW);
    SetForegroundWindow(dialog);
    UpdateWindow(dialog);
    PumpFor(200);
  }
  void TearDown() override {
    if (dialog != nullptr) DestroyWindow(dialog);
  }

  // Read from a device context of our own, not the meter's.
  COLORREF Pixel(int x, int y) {
    HDC dc = GetDC(dialog);
    const COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(dialog, dc);
    return colour;
  }
  int MiddleY() const { return (ProgressMeter.BarTop + ProgressMeter.BarBottom) / 2; }
  // Paints the whole bar blue, so that a redraw shows.
  void PaintBarBlue() {
    HDC dc = GetDC(dialog);
    HBRUSH blue = CreateSolidBrush(Blue);
    RECT bar = {ProgressMeter.BarLeft, ProgressMeter.BarTop, ProgressMeter.BarRight + 1, ProgressMeter.BarBottom};
    FillRect(dc, &bar, blue);
    DeleteObject(blue);
    ReleaseDC(dialog, dc);
  }

  HWND dialog = nullptr;
};

TEST_F(MeterTest, CreateCentresStartsTheStageAndKeepsLastPercent) {
  InstallRunning = 0;
  ProgressMeter.LastPercent = 37;
  CreateMeter(dialog);

  EXPECT_EQ(InstallRunning, 1);
  EXPECT_EQ(ProgressMeter.LastPercent, 37) << "CreateMeter must not touch LastPercent";
  EXPECT_EQ(ProgressMeter.MeterWindow, dialog);
  RECT box;
  GetWindowRect(dialog, &box);
  const POINT corner = CentredCorner(dialog);
  EXPECT_EQ(box.left, corner.x);
  EXPECT_EQ(box.top, corner.y);

  // The bar is where the frame control lies (the caption allowance is an
  // estimate, so a few pixels either way), and the text is about its middle.
  RECT frame;
  GetWindowRect(GetDlgItem(dialog, 101), &frame);
  POINT topLeft = {frame.left, frame.top};
  ScreenToClient(dialog, &topLeft);
  EXPECT_NEAR(ProgressMeter.BarLeft, topLeft.x, 4);
  EXPECT_NEAR(ProgressMeter.BarTop, topLeft.y, 6);
  EXPECT_EQ(ProgressMeter.BarSpan, ProgressMeter.BarRight - ProgressMeter.BarLeft + 1);
  EXPECT_EQ(ProgressMeter.BarRight - ProgressMeter.BarLeft, frame.right - frame.left - 4);
  DestroyMeter();
  EXPECT_EQ(ProgressMeter.LastPercent, 37);
}

TEST_F(MeterTest, UpdateDrawsRedDoneWhiteRestAndRedrawsOnlyOnAChange) {
  CreateMeter(dialog);
  const int left = ProgressMeter.BarLeft + 3;
  const int right = ProgressMeter.BarRight - 3;
  const int y = MiddleY();
  const int quarter = ProgressMeter.BarLeft + ProgressMeter.BarSpan / 4;
  const int threeQuarters = ProgressMeter.BarLeft + ProgressMeter.BarSpan * 3 / 4;

  ProgressMeter.LastPercent = -1;
  UpdateMeter(1, 2);
  EXPECT_EQ(ProgressMeter.LastPercent, 50);
  EXPECT_EQ(Pixel(left, y), Red);
  EXPECT_EQ(Pixel(quarter, y), Red);
  EXPECT_EQ(Pixel(threeQuarters, y), White);
  EXPECT_EQ(Pixel(right, y), White);
  // "50%" in black about the middle of the bar.
  bool dark = false;
  for (int x = ProgressMeter.TextX; x < ProgressMeter.TextX + 30 && !dark; ++x) {
    for (int ty = ProgressMeter.TextY; ty < ProgressMeter.TextY + 16 && !dark; ++ty) {
      dark = Pixel(x, ty) == RGB(0, 0, 0);
    }
  }
  EXPECT_TRUE(dark) << "no black text pixel near (" << ProgressMeter.TextX << ", " << ProgressMeter.TextY << ")";

  // The same whole percentage from other counts draws nothing.
  PaintBarBlue();
  UpdateMeter(1000001, 2000000);
  UpdateMeter(1049, 2100);
  EXPECT_EQ(Pixel(left, y), Blue);
  EXPECT_EQ(Pixel(right, y), Blue);
  EXPECT_EQ(ProgressMeter.LastPercent, 50);

  // Above 100 % nothing is drawn and LastPercent stays.
  UpdateMeter(2111000, 2100000);
  EXPECT_EQ(Pixel(left, y), Blue);
  EXPECT_EQ(ProgressMeter.LastPercent, 50);

  // A new percentage redraws: three quarters red.
  UpdateMeter(3, 4);
  EXPECT_EQ(ProgressMeter.LastPercent, 75);
  EXPECT_EQ(Pixel(quarter, y), Red);
  EXPECT_EQ(Pixel(threeQuarters - 3, y), Red);
  EXPECT_EQ(Pixel(right, y), White);

  // 0 %: nothing red; 100 %: red up to the right edge.
  UpdateMeter(0, 4);
  EXPECT_EQ(Pixel(left, y), White);
  EXPECT_EQ(Pixel(right, y), White);
  UpdateMeter(4, 4);
  EXPECT_EQ(ProgressMeter.LastPercent, 100);
  EXPECT_EQ(Pixel(left, y), Red);
  EXPECT_EQ(Pixel(right, y), Red);
  DestroyMeter();
}

TEST_F(MeterTest, DestroyDeletesEveryDrawingObject) {
  CreateMeter(dialog);
  ProgressMeter.LastPercent = -1;
  UpdateMeter(1, 3);
  const HGDIOBJ objects[] = {ProgressMeter.DonePen, ProgressMeter.RestPen, ProgressMeter.DoneBrush,
                             ProgressMeter.RestBrush, ProgressMeter.TextFont};
  for (HGDIOBJ object : objects) EXPECT_NE(GetObjectType(object), 0u);
  DestroyMeter();
  for (HGDIOBJ object : objects) EXPECT_EQ(GetObjectType(object), 0u) << "object left behind";
  EXPECT_EQ(ProgressMeter.LastPercent, 33);
}

}  // namespace
