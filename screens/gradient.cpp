#include "screens/gradient.h"

#include <cmath>
#include <cstdlib>

namespace {
int Channel(std::uint32_t color, int shift) { return static_cast<int>((color >> shift) & 0xFF); }

std::uint32_t Rgb(int r, int g, int b) {
  return static_cast<std::uint32_t>(r) | (static_cast<std::uint32_t>(g) << 8) | (static_cast<std::uint32_t>(b) << 16);
}

// One unit toward the target, kept within 0..255.
int StepToward(int value, int target) {
  if (value < target && value < 255) return value + 1;
  if (value > target && value > 0) return value - 1;
  return value;
}
}  // namespace

int GradientSteps(std::uint32_t top, std::uint32_t bottom) {
  int steps = 0;
  for (int shift : {0, 8, 16}) {
    const int distance = std::abs(Channel(top, shift) - Channel(bottom, shift));
    if (distance > steps) steps = distance;
  }
  return steps;
}

std::vector<std::uint32_t> GradientRows(std::uint32_t top, std::uint32_t bottom, std::int32_t height) {
  std::vector<std::uint32_t> rows;
  if (height <= 0) return rows;
  rows.reserve(static_cast<std::size_t>(height));
  const int steps = GradientSteps(top, bottom);
  if (steps == 0) {
    rows.assign(static_cast<std::size_t>(height), top & 0xFFFFFF);
    return rows;
  }
  const std::int32_t rowsPerStep = height / steps;
  int r = Channel(top, 0), g = Channel(top, 8), b = Channel(top, 16);
  const int rt = Channel(bottom, 0), gt = Channel(bottom, 8), bt = Channel(bottom, 16);
  std::int32_t k = 0;
  for (std::int32_t y = 0; y < height; ++y) {
    rows.push_back(Rgb(r, g, b));
    ++k;
    if (k >= rowsPerStep) {
      k = 0;
      r = StepToward(r, rt);
      g = StepToward(g, gt);
      b = StepToward(b, bt);
    }
  }
  return rows;
}

int Luminance(std::uint32_t color) {
  const double y = 0.3 * Channel(color, 0) + 0.59 * Channel(color, 8) + 0.11 * Channel(color, 16);
  // nearbyint follows the default rounding mode, which rounds halves to even.
  return static_cast<int>(std::nearbyint(y));
}

std::uint32_t ShadowColor(std::uint32_t titleColor) { return Luminance(titleColor) >= 128 ? 0x000000u : 0xFFFFFFu; }
