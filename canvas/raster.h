#pragma once

#include <QImage>
#include <QRgb>

// Pixel operations straight on the scan lines of a 32-bit image. Every operation is clipped to
// the image; coordinates are device pixels and may lie anywhere.
//
// Rasterisation rule, shared by every drawing operation of the canvas: a world point belongs to
// the device pixel whose square contains its mapped position (floor of both coordinates). A line
// paints every pixel of the Bresenham path from its start pixel to its end pixel, both ends
// included; a box paints every pixel from its lower to its upper corner pixel on both axes, both
// included. Each painted pixel is widened to a square of `width` pixels whose top-left corner
// lies (width - 1) / 2 pixels up and left of it, so a line drawn `width` wide is centred on its
// path, and a box's outline lies centred on its edges. A point is that square at its pixel.
namespace Raster {

// Largest magnitude a pixel coordinate is clamped to before integer arithmetic.
inline constexpr long long coordinateLimit = 1LL << 24;

// Device pixel that holds a continuous device position; NaN maps to the limit, far values clamp.
long long pixelOf(double position);

void fillRect(QImage &image, long long x0, long long y0, long long x1, long long y1, QRgb colour);
void box(QImage &image, long long x0, long long y0, long long x1, long long y1, int width,
         QRgb colour);
void line(QImage &image, long long x0, long long y0, long long x1, long long y1, int width,
          QRgb colour);
void point(QImage &image, long long x, long long y, int width, QRgb colour);

} // namespace Raster
