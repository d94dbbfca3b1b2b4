#pragma once

#include <QImage>
#include <QRgb>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

// Pixel operations straight on the scan lines of a 32-bit image. Every operation is clipped to
// the image; coordinates are device pixels and may lie anywhere.
//
// Rasterisation rule, shared by every drawing operation of the canvas: a world point belongs to
// the device pixel whose square contains its mapped position (floor of both coordinates). A line
// paints every pixel of its path (see linePath) from its start pixel to its end pixel, both ends
// included, however much of it lies outside the image; a box paints every pixel from its lower to
// its upper corner pixel on both axes, both included. Each painted pixel is widened to a square of
// `width` pixels whose top-left corner lies (width - 1) / 2 pixels up and left of it, so a line
// drawn `width` wide is centred on its path, and a box's outline lies centred on its edges. A point
// is that square at its pixel.
//
// Repeated wide spans are cheap: for every row the raster remembers the last wide span painted
// on it and the columns painted since. Painting that same span in the same colour again only
// repaints those columns; every pixel ends up exactly as a full repaint would leave it. (The
// search repaints the same grid rows a hundred times; this is what keeps a full redraw fast.)
class Raster {
public:
    // Largest magnitude a pixel coordinate is clamped to before integer arithmetic.
    static constexpr long long coordinateLimit = 1LL << 24;
    static long long clampCoordinate(long long v) {
        return std::clamp(v, -coordinateLimit, coordinateLimit);
    }

    // Device pixel that holds a continuous device position; NaN and far values clamp.
    static long long pixelOf(double position);

    // The path of a line from pixel (x0, y0) to pixel (x1, y1): one pixel for each step along the
    // longer axis (x when both are equal), n = that axis's length, and at step k the shorter axis
    // moved by floor((2 k d + n) / (2 n)) towards the end, d being the shorter axis's length. So
    // each pixel is the one nearest the ideal line, and a tie goes towards the end point; this is
    // the path of Bresenham's algorithm. Visits, start to end, the pixels of the path whose column
    // lies in [left, right] and whose row lies in [top, bottom], and only those: the work is
    // bounded by that window, not by the length of the line.
    template <typename Visit>
    static void linePath(long long x0, long long y0, long long x1, long long y1, long long left,
                         long long top, long long right, long long bottom, Visit &&visit) {
        const bool xMajor = std::llabs(x1 - x0) >= std::llabs(y1 - y0);
        const long long major0 = xMajor ? x0 : y0;
        const long long minor0 = xMajor ? y0 : x0;
        const long long n = std::llabs(xMajor ? x1 - x0 : y1 - y0);
        const long long d = std::llabs(xMajor ? y1 - y0 : x1 - x0);
        const long long majorStep = (xMajor ? x1 - x0 : y1 - y0) < 0 ? -1 : 1;
        const long long minorStep = (xMajor ? y1 - y0 : x1 - x0) < 0 ? -1 : 1;
        const long long low = xMajor ? left : top;
        const long long high = xMajor ? right : bottom;
        // The steps whose major coordinate lies inside [low, high].
        long long first = majorStep > 0 ? low - major0 : major0 - high;
        long long last = majorStep > 0 ? high - major0 : major0 - low;
        first = std::max(first, 0LL);
        last = std::min(last, n);
        for (long long k = first; k <= last; ++k) {
            const long long minor = minor0 + minorStep * (n == 0 ? 0 : (2 * k * d + n) / (2 * n));
            const long long major = major0 + majorStep * k;
            const long long x = xMajor ? major : minor;
            const long long y = xMajor ? minor : major;
            if (x >= left && x <= right && y >= top && y <= bottom)
                visit(x, y);
        }
    }

    // Whether repeated wide spans repaint only their damaged columns (the default) or every
    // pixel each time; both leave the same pixels.
    enum class Spans { Remembered, Repainted };
    explicit Raster(Spans spans = Spans::Remembered) : m_spanMemory(spans == Spans::Remembered) {}

    // Attaches the raster to an image (or to none); what the image holds is not assumed.
    void attach(QImage *image);

    // A width in logical pixels as device pixels: the whole device pixels it spans, at least one.
    // Rounding down keeps a wide line at least one device pixel wider than a narrow one at every
    // ratio, so that a narrow line along a wide one (the diagonal under the segment) stays hidden.
    static int deviceWidth(int width, double ratio) {
        return std::max(1, static_cast<int>(std::floor(width * ratio + 1e-9)));
    }

    // Offsets from a path pixel to the first and last row and column of its square `width` wide.
    static int squareLow(int width) { return -((std::max(width, 1) - 1) / 2); }
    static int squareHigh(int width) { return squareLow(width) + std::max(width, 1) - 1; }

    void fill(QRgb colour);
    void fillRect(long long x0, long long y0, long long x1, long long y1, QRgb colour);
    void box(long long x0, long long y0, long long x1, long long y1, int width, QRgb colour);
    void line(long long x0, long long y0, long long x1, long long y1, int width, QRgb colour);
    void point(long long x, long long y, int width, QRgb colour);
    // Records that something else painted the given pixels (text, for instance).
    void touched(long long x0, long long y0, long long x1, long long y1);

private:
    struct Row {
        int spanFrom = 0;
        int spanTo = -1; // empty: nothing remembered
        QRgb colour = 0;
        int dirtyFrom = 0;
        int dirtyTo = -1; // empty: the span is intact
    };

    void paintRow(QRgb *pixels, int y, int from, int to, QRgb colour);
    void markDirty(int y, int from, int to);
    static inline void widenDamage(Row &row, int from, int to);

    QImage *m_image = nullptr;
    int m_width = 0; // of the attached image, whose size stays while it is attached
    int m_height = 0;
    std::vector<Row> m_rows;
    bool m_spanMemory;
};
