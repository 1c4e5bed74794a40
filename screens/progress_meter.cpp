#include <windows.h>

#include "screens/progress_meter.h"

#include "screens/meter_geometry.h"
#include "setup/install_running.h"
#include "setup/setup_state.h"

ProgressMeterRecord ProgressMeter = {};

namespace {
const COLORREF DoneColour = RGB(255, 0, 0);
const COLORREF RestColour = RGB(255, 255, 255);

MeterRect FromRect(const RECT& r) { return MeterRect{r.left, r.top, r.right, r.bottom}; }

MeterGeometry CurrentGeometry() {
  const ProgressMeterRecord& m = ProgressMeter;
  return MeterGeometry{m.BarLeft, m.BarTop, m.BarRight, m.BarBottom, m.BarSpan, m.TextX, m.TextY};
}
}  // namespace

void CreateMeter(HWND dialog) {
  ProgressMeterRecord& m = ProgressMeter;
  m.MeterDC = GetDC(dialog);
  m.MeterWindow = dialog;

  RECT frame = {};
  RECT box = {};
  GetWindowRect(GetDlgItem(dialog, 101), &frame);
  GetWindowRect(dialog, &box);
  const MeterGeometry g = ComputeMeterGeometry(FromRect(frame), FromRect(box), GetSystemMetrics(SM_CXBORDER),
                                               GetSystemMetrics(SM_CYCAPTION), GetSystemMetrics(SM_CYBORDER));
  m.BarLeft = g.BarLeft;
  m.BarTop = g.BarTop;
  m.BarRight = g.BarRight;
  m.BarBottom = g.BarBottom;
  m.BarSpan = g.BarSpan;
  m.TextX = g.TextX;
  m.TextY = g.TextY;

  m.DonePen = CreatePen(PS_SOLID, 1, DoneColour);
  m.RestPen = CreatePen(PS_SOLID, 1, RestColour);
  m.SavedPen = SelectObject(m.MeterDC, m.DonePen);
  m.DoneBrush = CreateSolidBrush(DoneColour);
  m.RestBrush = CreateSolidBrush(RestColour);
  m.SavedBrush = SelectObject(m.MeterDC, m.DoneBrush);

  SetWindowPos(dialog, HWND_TOP, SetupState.ScreenWidth / 2 - (box.right - box.left) / 2,
               SetupState.ScreenHeight / 2 - (box.bottom - box.top) / 2, 0, 0, SWP_NOSIZE);
  // Every stage starts in the running state.
  InstallRunning = 1;

  SetBkMode(m.MeterDC, TRANSPARENT);
  m.TextFont = CreateFontA(16, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
  m.SavedFont = SelectObject(m.MeterDC, m.TextFont);
  SetTextColor(m.MeterDC, RGB(0, 0, 0));
}

void UpdateMeter(std::int32_t done, std::int32_t total) {
  ProgressMeterRecord& m = ProgressMeter;
  if (total <= 0) return;  // no fraction to show
  const MeterReading reading = ReadMeter(CurrentGeometry(), done, total);
  // Only a change of the whole percentage is worth a redraw; beyond 100 the
  // bar stays as it is.
  if (reading.Percent == m.LastPercent || reading.Percent > 100) return;
  const int split = static_cast<int>(reading.Split);

  SelectObject(m.MeterDC, m.DoneBrush);
  SelectObject(m.MeterDC, m.DonePen);
  Rectangle(m.MeterDC, m.BarLeft, m.BarTop, split, m.BarBottom);
  m.LastPercent = static_cast<std::int32_t>(reading.Percent);
  SelectObject(m.MeterDC, m.RestBrush);
  SelectObject(m.MeterDC, m.RestPen);
  Rectangle(m.MeterDC, split, m.BarTop, m.BarRight, m.BarBottom);

  char text[24];
  int length = 0;
  FormatPercent(reading.Percent, text, length);
  TextOutA(m.MeterDC, m.TextX, m.TextY, text, length);
}

void DestroyMeter() {
  ProgressMeterRecord& m = ProgressMeter;
  SelectObject(m.MeterDC, m.SavedFont);
  DeleteObject(m.TextFont);
  SelectObject(m.MeterDC, m.SavedPen);
  SelectObject(m.MeterDC, m.SavedBrush);
  DeleteObject(m.DonePen);
  DeleteObject(m.RestPen);
  DeleteObject(m.DoneBrush);
  DeleteObject(m.RestBrush);
  ReleaseDC(m.MeterWindow, m.MeterDC);
  // Keep LastPercent: the next stage starts from it. The handles are gone.
  m.MeterDC = nullptr;
  m.MeterWindow = nullptr;
  m.DonePen = m.RestPen = nullptr;
  m.DoneBrush = m.RestBrush = nullptr;
  m.TextFont = nullptr;
  m.SavedPen = m.SavedBrush = m.SavedFont = nullptr;
}
