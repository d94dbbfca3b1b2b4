#include "canvas/raster.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace Raster {
namespace {

long long clampCoord(long long v) { return std::clamp(v, -coordinateLimit, coordinateLimit); }

int lowOffset(int width) { return -((std::max(width, 1) - 1) / 2); }

void stampSpan(QImage &image, long long x0, long long x1, long long y, int width, QRgb colour) {
    const int lo = lowOffset(width);
    const int hi = lo + std::max(width, 1) - 1;
    fillRect(image, x0 + lo, y + lo, x1 + hi, y + hi, colour);
}

// Clips the segment to the rectangle [xmin, xmax] x [ymin, ymax]; false when nothing is left.
bool clipSegment(double &x0, double &y0, double &x1, double &y1, double xmin, double ymin,
                 double xmax, double ymax) {
    double t0 = 0.0;
    double t1 = 1.0;
    const double dx = x1 - x0;
    const double dy = y1 - y0;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x0 - xmin, xmax - x0, y0 - ymin, ymax - y0};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0.0) {
            if (q[i] < 0.0)
                return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0.0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1)
            return false;
    }
    const double ox = x0;
    const double oy = y0;
    x0 = ox + t0 * dx;
    y0 = oy + t0 * dy;
    x1 = ox + t1 * dx;
    y1 = oy + t1 * dy;
    return true;
}

} // namespace

long long pixelOf(double position) {
    if (std::isnan(position))
        return coordinateLimit;
    const double limit = static_cast<double>(coordinateLimit);
    return static_cast<long long>(std::floor(std::clamp(position, -limit, limit)));
}

void fillRect(QImage &image, long long x0, long long y0, long long x1, long long y1, QRgb colour) {
    if (x0 > x1)
        std::swap(x0, x1);
    if (y0 > y1)
        std::swap(y0, y1);
    const long long w = image.width();
    const long long h = image.height();
    x0 = std::max(x0, 0LL);
    y0 = std::max(y0, 0LL);
    x1 = std::min(x1, w - 1);
    y1 = std::min(y1, h - 1);
    if (x0 > x1 || y0 > y1)
        return;
    const auto count = static_cast<std::size_t>(x1 - x0 + 1);
    for (long long y = y0; y <= y1; ++y) {
        auto *row = reinterpret_cast<QRgb *>(image.scanLine(static_cast<int>(y)));
        std::fill_n(row + x0, count, colour);
    }
}

void box(QImage &image, long long x0, long long y0, long long x1, long long y1, int width,
         QRgb colour) {
    const int lo = lowOffset(width);
    const int hi = lo + std::max(width, 1) - 1;
    fillRect(image, std::min(x0, x1) + lo, std::min(y0, y1) + lo, std::max(x0, x1) + hi,
             std::max(y0, y1) + hi, colour);
}

void point(QImage &image, long long x, long long y, int width, QRgb colour) {
    box(image, x, y, x, y, width, colour);
}

void line(QImage &image, long long x0, long long y0, long long x1, long long y1, int width,
          QRgb colour) {
    x0 = clampCoord(x0);
    y0 = clampCoord(y0);
    x1 = clampCoord(x1);
    y1 = clampCoord(y1);
    if (y0 == y1) {
        stampSpan(image, std::min(x0, x1), std::max(x0, x1), y0, width, colour);
        return;
    }
    if (x0 == x1) {
        box(image, x0, y0, x1, y1, width, colour);
        return;
    }
    const long long margin = std::max(width, 1) + 1;
    const long long xmin = -margin;
    const long long ymin = -margin;
    const long long xmax = image.width() + margin;
    const long long ymax = image.height() + margin;
    const auto outside = [&](long long x, long long y) {
        return x < xmin || x > xmax || y < ymin || y > ymax;
    };
    if (outside(x0, y0) || outside(x1, y1)) {
        double fx0 = static_cast<double>(x0);
        double fy0 = static_cast<double>(y0);
        double fx1 = static_cast<double>(x1);
        double fy1 = static_cast<double>(y1);
        if (!clipSegment(fx0, fy0, fx1, fy1, static_cast<double>(xmin), static_cast<double>(ymin),
                         static_cast<double>(xmax), static_cast<double>(ymax)))
            return;
        x0 = std::llround(fx0);
        y0 = std::llround(fy0);
        x1 = std::llround(fx1);
        y1 = std::llround(fy1);
    }
    const long long dx = std::llabs(x1 - x0);
    const long long dy = -std::llabs(y1 - y0);
    const long long sx = x0 < x1 ? 1 : -1;
    const long long sy = y0 < y1 ? 1 : -1;
    long long err = dx + dy;
    long long x = x0;
    long long y = y0;
    const int lo = lowOffset(width);
    const int hi = lo + std::max(width, 1) - 1;
    for (;;) {
        fillRect(image, x + lo, y + lo, x + hi, y + hi, colour);
        if (x == x1 && y == y1)
            break;
        const long long e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

} // namespace Raster
