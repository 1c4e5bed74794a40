#include "screens/meter_geometry.h"

#include <cmath>

MeterGeometry ComputeMeterGeometry(const MeterRect& frame, const MeterRect& dialog, std::int32_t borderWidth,
                                   std::int32_t captionHeight, std::int32_t borderHeight) {
  MeterGeometry g;
  // The dialog's corner plus a fixed allowance for its caption and border
  // stands in for the client origin.
  g.BarLeft = frame.Left - dialog.Left - borderWidth;
  g.BarTop = frame.Top - dialog.Top - captionHeight - borderHeight;
  g.BarRight = frame.Right - dialog.Left - borderWidth - 4;
  g.BarBottom = frame.Bottom - dialog.Top - captionHeight - borderHeight - 4;
  // C++ division truncates toward zero, as the layout expects.
  g.TextX = g.BarLeft + (g.BarRight - g.BarLeft) / 2 - 10;
  g.TextY = g.BarTop + (g.BarBottom - g.BarTop) / 2 - 8;
  g.BarSpan = g.BarRight - g.BarLeft + 1;
  return g;
}

std::int64_t RoundHalfEven(double value) {
  // Done by hand so that the result never depends on the FPU's rounding mode.
  const double below = std::floor(value);
  const double rest = value - below;
  std::int64_t result = static_cast<std::int64_t>(below);
  if (rest > 0.5 || (rest == 0.5 && (result % 2) != 0)) result += 1;
  return result;
}

MeterReading ReadMeter(const MeterGeometry& geometry, std::int32_t done, std::int32_t total) {
  const double fraction = static_cast<double>(done) / static_cast<double>(total);
  MeterReading reading;
  reading.Split = geometry.BarLeft + RoundHalfEven(fraction * geometry.BarSpan);
  reading.Percent = RoundHalfEven(fraction * 100.0);
  return reading;
}

void FormatPercent(std::int64_t percent, char (&text)[24], int& length) {
  char digits[24];
  int n = 0;
  std::uint64_t value = percent < 0 ? 0 : static_cast<std::uint64_t>(percent);
  do {
    digits[n++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  length = 0;
  while (n > 0) text[length++] = digits[--n];
  text[length++] = '%';
  text[length] = '\0';
}
