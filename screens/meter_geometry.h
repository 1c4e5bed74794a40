#pragma once
// What the progress meter computes: where the bar and its text lie inside the
// stage dialog, and where the bar splits for a given fraction. No drawing here.
#include <cstdint>

struct MeterRect {
  std::int32_t Left, Top, Right, Bottom;
};

struct MeterGeometry {
  std::int32_t BarLeft, BarTop, BarRight, BarBottom;
  std::int32_t BarSpan;  // one more than BarRight - BarLeft: the width the fraction scales to
  std::int32_t TextX, TextY;
};

// frame and dialog are screen rectangles (GetWindowRect); the result is in
// the dialog's client coordinates, right and bottom pulled in by 4 pixels.
MeterGeometry ComputeMeterGeometry(const MeterRect& frame, const MeterRect& dialog, std::int32_t borderWidth,
                                   std::int32_t captionHeight, std::int32_t borderHeight);

// Nearest integer, halves to the even neighbour (12.5 -> 12, 37.5 -> 38).
std::int64_t RoundHalfEven(double value);

struct MeterReading {
  std::int64_t Percent;  // may exceed 100 when done is beyond total
  std::int64_t Split;    // x where the done part ends and the rest begins
};

// done / total in floating point; total must be greater than 0.
MeterReading ReadMeter(const MeterGeometry& geometry, std::int32_t done, std::int32_t total);

// The percent text: decimal digits, no sign, no padding, then "%".
void FormatPercent(std::int64_t percent, char (&text)[24], int& length);
