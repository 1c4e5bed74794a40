#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "screens/agreement_text.h"
#include "screens/destination_rules.h"
#include "screens/gradient.h"

namespace {
const std::uint32_t Blue = 0xFF0000;  // COLORREF 0x00BBGGRR
const std::uint32_t Black = 0x000000;
const std::uint32_t White = 0xFFFFFF;

// Rows of the configured gradient (blue to black): on 480 rows the colour
// moves every row; on 768 rows every third row, reaching black at 765.
TEST(BackgroundGradient, ConfiguredColoursOnBothScreenHeights) {
  struct Case {
    std::int32_t height;
    std::int32_t row;
    std::uint32_t blue;
  };
  const Case cases[] = {
      {480, 0, 255}, {480, 1, 254}, {480, 100, 155}, {480, 254, 1}, {480, 255, 0}, {480, 479, 0},
      {768, 0, 255}, {768, 2, 255}, {768, 3, 254},   {768, 299, 156}, {768, 762, 1}, {768, 764, 1},
      {768, 765, 0}, {768, 767, 0},
  };
  for (const Case& c : cases) {
    const std::vector<std::uint32_t> rows = GradientRows(Blue, Black, c.height);
    ASSERT_EQ(rows.size(), static_cast<std::size_t>(c.height));
    EXPECT_EQ(rows[c.row], c.blue << 16) << "height " << c.height << ", row " << c.row;
  }
}

TEST(BackgroundGradient, ChannelsMoveTogetherAndStopAtTheirTargets) {
  // Red 10 -> 12 and green 0 -> 200 in 200 steps on 400 rows: red arrives
  // after two changes and stays; green changes every second row.
  const std::uint32_t top = 0x00000A;
  const std::uint32_t bottom = 0x00C80C;
  const std::vector<std::uint32_t> rows = GradientRows(top, bottom, 400);
  EXPECT_EQ(rows[0], 0x00000Au);
  EXPECT_EQ(rows[1], 0x00000Au);
  EXPECT_EQ(rows[2], 0x00010Bu);
  EXPECT_EQ(rows[4], 0x00020Cu);
  EXPECT_EQ(rows[6], 0x00030Cu);
  EXPECT_EQ(rows[399], 0x00C70Cu);
}

TEST(BackgroundGradient, EqualColoursAreOneSolidFill) {
  EXPECT_EQ(GradientSteps(0x123456, 0x123456), 0);
  const std::vector<std::uint32_t> rows = GradientRows(0x123456, 0x123456, 480);
  ASSERT_EQ(rows.size(), 480u);
  for (std::uint32_t row : rows) ASSERT_EQ(row, 0x123456u);
}

TEST(BackgroundGradient, MoreStepsThanRowsMoveEveryRow) {
  // 255 steps on a window 100 rows high: rowsPerStep is 0, one unit a row,
  // and the bottom colour is never reached.
  const std::vector<std::uint32_t> rows = GradientRows(Black, White, 100);
  ASSERT_EQ(rows.size(), 100u);
  EXPECT_EQ(rows[0], 0x000000u);
  EXPECT_EQ(rows[1], 0x010101u);
  EXPECT_EQ(rows[99], 0x636363u);
  EXPECT_TRUE(GradientRows(Blue, Black, 0).empty());
}

TEST(BackgroundGradient, ShadowFollowsRoundedLuminance) {
  struct Case {
    std::uint32_t title;
    int luminance;
    std::uint32_t shadow;
  };
  const Case cases[] = {
      {0x00FFFF, 227, Black},  // yellow: 226.95
      {0x808080, 128, Black},
      {0x7F7F7F, 127, White},
      {0xFF0000, 28, White},   // blue: 28.05
      {0x000000, 0, White},
      {0xFFFFFF, 255, Black},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Luminance(c.title), c.luminance) << std::hex << c.title;
    EXPECT_EQ(ShadowColor(c.title), c.shadow) << std::hex << c.title;
  }
}

TEST(DestinationRules, TypedTextNeedsUpperCaseDriveAndColon) {
  struct Case {
    const char* text;
    bool accepted;
  };
  const Case cases[] = {
      {"", false},        {"C", false},      {"\\APPS", false}, {"1:\\APPS", false},
      {"c:\\x", false},   {":C", false},     {"C:", true},      {"C:\\", true},
      {"Z:\\APPS", true}, {"C:\\PROGRAM FILES\\MARWINDLE", true},
  };
  for (const Case& c : cases) EXPECT_EQ(DestinationTextAcceptable(c.text), c.accepted) << '"' << c.text << '"';
}

TEST(DestinationRules, Wildcards) {
  EXPECT_TRUE(HasWildcards("C:\\PROG*"));
  EXPECT_TRUE(HasWildcards("C:\\A?B"));
  EXPECT_FALSE(HasWildcards("C:\\PROGRAM FILES"));
}

// The agreement box wraps paragraphs itself: the text may break lines only
// with CR LF pairs, and is plain ANSI.
TEST(AgreementText, ParagraphsSeparatedByCrLfOnly) {
  const std::string text = AgreementText;
  EXPECT_GT(text.size(), 2000u);
  EXPECT_NE(text.find("\r\n"), std::string::npos);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const unsigned char ch = static_cast<unsigned char>(text[i]);
    if (ch == '\r') {
      ASSERT_TRUE(i + 1 < text.size() && text[i + 1] == '\n') << "lone CR at " << i;
    } else if (ch == '\n') {
      ASSERT_TRUE(i > 0 && text[i - 1] == '\r') << "lone LF at " << i;
    } else {
      ASSERT_TRUE(ch >= 0x20 && ch < 0x7F) << "byte " << int(ch) << " at " << i;
    }
  }
}
}  // namespace
