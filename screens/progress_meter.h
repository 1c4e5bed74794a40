#pragma once
// The percentage bar of the two stage dialogs, drawn inside frame control 101.
#include <windows.h>

#include <cstdint>

struct ProgressMeterRecord {
  HDC MeterDC;
  HWND MeterWindow;
  std::int32_t BarLeft, BarTop, BarRight, BarBottom;
  std::int32_t BarSpan;
  std::int32_t TextX, TextY;
  HPEN DonePen, RestPen;
  HBRUSH DoneBrush, RestBrush;
  HFONT TextFont;
  HGDIOBJ SavedPen, SavedBrush, SavedFont;
  std::int32_t LastPercent;  // -1: nothing drawn yet
};

extern ProgressMeterRecord ProgressMeter;

void CreateMeter(HWND dialog);
void UpdateMeter(std::int32_t done, std::int32_t total);
void DestroyMeter();
