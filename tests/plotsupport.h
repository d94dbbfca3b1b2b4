#pragma once

// Helpers for tests of the plot's canvas: an exact oracle of the solutions, reading the plot at
// world coordinates by the test's own mapping, counting the marks of a search, and the pixels of
// lines worked out by hand.

#include "oracle.h"

#include "canvas/canvas.h"

#include <QImage>
#include <QList>
#include <QPoint>
#include <QSet>
#include <cmath>
#include <optional>

namespace TestSupport {

// The plot's world system, as the window sets it: x from −5 at the left edge to 120 at the right,
// y from 115 at the top to −5 at the bottom. The continuous position of a world point on an area
// of this size, and the pixel that holds it.
inline QPointF plotPosition(QSizeF area, double x, double y) {
    return {(x + 5) * area.width() / 125, (115 - y) * area.height() / 120};
}

inline QPoint plotPixel(QSizeF area, double x, double y) {
    const QPointF p = plotPosition(area, x, y);
    return {static_cast<int>(std::floor(p.x())), static_cast<int>(std::floor(p.y()))};
}

// The colour (without alpha) of the image pixel that holds the plot's world point (x, y).
inline QRgb colourAt(const Canvas &canvas, float x, float y) {
    const QImage &image = canvas.image();
    const QPoint p = plotPixel(image.size(), x, y);
    if (!image.valid(p))
        return 0xff000000u; // outside: an impossible opaque value below
    return image.pixel(p) & 0x00ffffffu;
}

inline constexpr QRgb rgb(int r, int g, int b) { return qRgb(r, g, b) & 0x00ffffffu; }

inline constexpr QRgb markBlack = rgb(0, 0, 0);
inline constexpr QRgb markBlue = rgb(0, 0, 255);
inline constexpr QRgb markRed = rgb(255, 0, 0);
inline constexpr QRgb white = rgb(255, 255, 255);

struct MarkCount {
    int black = 0;
    int blue = 0;
    int red = 0;
    int total() const { return black + blue + red; }
};

// The colour of the cell (x, y) as the search paints it: read at two points inside the cell that
// the frame never covers (off the grid lines and off the diagonal). A single circle point or
// label stroke can cover one of them, so the colour counts only where both agree; otherwise
// `mixed` is returned.
inline constexpr QRgb mixed = 0x01000000u;

inline QRgb cellColour(const Canvas &canvas, int x, int y) {
    const QRgb a = colourAt(canvas, x + 0.75f, y + 0.4f);
    const QRgb b = colourAt(canvas, x + 0.5f, y + 0.25f);
    return a == b ? a : mixed;
}

// Reads the marks of the plot from the cells of (1..100) x (1..100). The radius circle crosses
// the cells it passes; for exact counts set the radius to 0 first (its circle then stays in the
// corner below the cell (1, 1)).
inline MarkCount countMarks(const Canvas &canvas) {
    MarkCount count;
    for (int x = 1; x <= 100; ++x)
        for (int y = 1; y <= 100; ++y) {
            const QRgb c = cellColour(canvas, x, y);
            if (c == markBlack)
                ++count.black;
            else if (c == markBlue)
                ++count.blue;
            else if (c == markRed)
                ++count.red;
        }
    return count;
}

// Every pixel of the line from (x0, y0) to (x1, y1), by the textbook integer Bresenham loop
// over the whole line.
inline QList<QPoint> bresenham(int x0, int y0, int x1, int y1) {
    QList<QPoint> path;
    const int dx = std::abs(x1 - x0);
    const int dy = -std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1;
    const int sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    for (;;) {
        path.append(QPoint(x0, y0));
        if (x0 == x1 && y0 == y1)
            return path;
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
}

// The pixels of a line `width` pixels wide along that path: each path pixel widened to a square
// whose top-left corner lies (width - 1) / 2 pixels up and left of it.
inline QSet<QPoint> widePath(QPoint from, QPoint to, int width) {
    QSet<QPoint> pixels;
    const int low = -((width - 1) / 2);
    for (const QPoint p : bresenham(from.x(), from.y(), to.x(), to.y()))
        for (int dy = 0; dy < width; ++dy)
            for (int dx = 0; dx < width; ++dx)
                pixels.insert(p + QPoint(low + dx, low + dy));
    return pixels;
}

// The pixels of an image that have exactly this colour (alpha ignored), within an area.
inline QSet<QPoint> pixelsOf(const QImage &image, QRgb colour, QRect area) {
    QSet<QPoint> found;
    area &= image.rect();
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if ((image.pixel(x, y) & 0xffffffu) == (colour & 0xffffffu))
                found.insert(QPoint(x, y));
    return found;
}

// The logical pixel of the canvas that shows a world point of the plot (for mouse events).
inline QPoint pixelFor(const Canvas &canvas, float x, float y) {
    return plotPixel(canvas.size(), x, y);
}

} // namespace TestSupport
