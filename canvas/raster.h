#pragma once

#include <QImage>
#include <QRgb>
#include <vector>

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
//
// Repeated wide spans are cheap: for every row the raster remembers the last wide span painted
// on it and the columns painted since. Painting that same span in the same colour again only
// repaints those columns; every pixel ends up exactly as a full repaint would leave it. (The
// search repaints the same grid rows a hundred times; this is what keeps a full redraw fast.)
class Raster {
public:
    // Largest magnitude a pixel coordinate is clamped to before integer arithmetic.
    static constexpr long long coordinateLimit = 1LL << 24;

    // Device pixel that holds a continuous device position; NaN and far values clamp.
    static long long pixelOf(double position);

    // Attaches the raster to an image (or to none); what the image holds is not assumed.
    void attach(QImage *image);
    // Turns the span memory off or on (off repaints everything, for comparison in tests).
    void setSpanMemory(bool on);

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

    QImage *m_image = nullptr;
    std::vector<Row> m_rows;
    bool m_spanMemory = true;
};
