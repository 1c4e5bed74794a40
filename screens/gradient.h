#pragma once
// The colours of the background window, computed apart from the drawing so
// that they can be checked without a screen. Colours are COLORREF values
// (0x00BBGGRR).
#include <cstdint>
#include <vector>

// The largest distance of a channel between the two colours (0..255); 0
// means the background is one solid fill.
int GradientSteps(std::uint32_t top, std::uint32_t bottom);

// The colour of every row, top to bottom, for a window `height` rows high:
// the channels move one unit toward the bottom colour after every
// `height / steps` rows (after every row when that is 0) and then stay.
std::vector<std::uint32_t> GradientRows(std::uint32_t top, std::uint32_t bottom, std::int32_t height);

// The luminance of a colour, rounded to the nearest integer (halves to even).
int Luminance(std::uint32_t color);

// The title's drop shadow: black behind a light title (luminance 128 or
// more), white behind a dark one.
std::uint32_t ShadowColor(std::uint32_t titleColor);
