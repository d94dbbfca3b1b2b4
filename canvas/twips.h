#pragma once

#include <cmath>

// The window's layout unit: 1440 twips to the inch, 15 twips to a logical pixel at 96 dpi.
namespace Twips {

inline constexpr double perPixel = 15.0;

inline int toPixels(int twips) { return static_cast<int>(std::lround(twips / perPixel)); }

} // namespace Twips
