// Where the progress meter draws: the bar inside frame control 101, its text,
// the split for a fraction, and rounding halves to even.
#include <gtest/gtest.h>

#include <string>

#include "screens/meter_geometry.h"

namespace {

// A frame at (100, 200)-(346, 221) on the screen inside a dialog whose window
// starts at (50, 120); borders of 1 and a caption of 18, as a classic theme has.
MeterGeometry SampleGeometry() {
  return ComputeMeterGeometry(MeterRect{100, 200, 346, 221}, MeterRect{50, 120, 400, 260}, 1, 18, 1);
}

TEST(MeterGeometry, BarAndTextFromTheFrameAndDialogRectangles) {
  const MeterGeometry g = SampleGeometry();
  EXPECT_EQ(g.BarLeft, 100 - 50 - 1);
  EXPECT_EQ(g.BarTop, 200 - 120 - 18 - 1);
  EXPECT_EQ(g.BarRight, 346 - 50 - 1 - 4);
  EXPECT_EQ(g.BarBottom, 221 - 120 - 18 - 1 - 4);
  EXPECT_EQ(g.BarSpan, g.BarRight - g.BarLeft + 1);
  EXPECT_EQ(g.TextX, 49 + (291 - 49) / 2 - 10);
  EXPECT_EQ(g.TextY, 61 + (78 - 61) / 2 - 8);  // 17 / 2 truncates to 8
}

TEST(MeterGeometry, HalvingTruncatesTowardZeroForNarrowBars) {
  // A frame so small that BarRight < BarLeft: (-3) / 2 is -1, not -2.
  const MeterGeometry g = ComputeMeterGeometry(MeterRect{10, 10, 11, 11}, MeterRect{0, 0, 50, 50}, 0, 0, 0);
  EXPECT_EQ(g.BarRight - g.BarLeft, -3);
  EXPECT_EQ(g.TextX, g.BarLeft - 1 - 10);
  EXPECT_EQ(g.TextY, g.BarTop - 1 - 8);
}

TEST(MeterGeometry, RoundHalfEvenTable) {
  const struct {
    double value;
    long long expected;
  } cases[] = {
      {0.0, 0},   {0.4, 0},   {0.5, 0},   {0.6, 1},   {1.5, 2},     {2.5, 2},     {3.5, 4},
      {12.5, 12}, {37.5, 38}, {99.5, 100}, {100.5, 100}, {101.5, 102}, {-0.5, 0},  {-1.5, -2},
      {-2.5, -2}, {2.4999999, 2}, {2.5000001, 3},
  };
  for (const auto& c : cases) EXPECT_EQ(RoundHalfEven(c.value), c.expected) << "value " << c.value;
}

TEST(MeterGeometry, SplitAndPercentForFractions) {
  const MeterGeometry g = SampleGeometry();  // BarLeft 49, BarSpan 243
  const struct {
    std::int32_t done, total;
    long long percent, split;
  } cases[] = {
      {0, 2100000, 0, 49},               // 0 %: the red part has no width
      {2048, 2100000, 0, 49},            // the first join block still shows 0 %
      {1, 1, 100, 49 + 243},             // 100 %: one pixel beyond BarRight
      {1, 3, 33, 49 + 81},               // 243 / 3 = 81 exactly
      {1, 8, 12, 49 + 30},               // 12.5 % and 30.375 px
      {3, 8, 38, 49 + 91},               // 37.5 % and 91.125 px
      {1050000, 2100000, 50, 49 + 122},  // 121.5 px rounds to the even 122
      {2110000, 2100000, 100, 49 + 244}, // 100.48 %: still 100
      {2111000, 2100000, 101, 49 + 244}, // 100.52 %: above 100
  };
  for (const auto& c : cases) {
    const MeterReading r = ReadMeter(g, c.done, c.total);
    EXPECT_EQ(r.Percent, c.percent) << c.done << " / " << c.total;
    EXPECT_EQ(r.Split, c.split) << c.done << " / " << c.total;
  }
  EXPECT_EQ(g.BarLeft + g.BarSpan, g.BarRight + 1);
}

TEST(MeterGeometry, PercentText) {
  const struct {
    long long percent;
    const char* text;
  } cases[] = {{0, "0%"}, {7, "7%"}, {42, "42%"}, {100, "100%"}};
  for (const auto& c : cases) {
    char text[24];
    int length = -1;
    FormatPercent(c.percent, text, length);
    EXPECT_EQ(std::string(text, static_cast<std::size_t>(length)), c.text);
    EXPECT_EQ(text[length], '\0');
  }
}

}  // namespace
