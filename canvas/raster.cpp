#include "canvas/raster.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

// Spans at least this wide are remembered; narrower ones count as damage to the remembered one.
constexpr int rememberedWidth = 64;

int lowOffset(int width) { return -((std::max(width, 1) - 1) / 2); }
int highOffset(int width) { return lowOffset(width) + std::max(width, 1) - 1; }

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

long long Raster::pixelOf(double position) {
    if (std::isnan(position))
        return coordinateLimit;
    const double limit = static_cast<double>(coordinateLimit);
    return static_cast<long long>(std::floor(std::clamp(position, -limit, limit)));
}

void Raster::attach(QImage *image) {
    m_image = image != nullptr && !image->isNull() ? image : nullptr;
    m_rows.assign(m_image != nullptr ? static_cast<std::size_t>(m_image->height()) : 0, Row{});
}

void Raster::setSpanMemory(bool on) {
    m_spanMemory = on;
    std::fill(m_rows.begin(), m_rows.end(), Row{});
}

void Raster::fill(QRgb colour) {
    if (m_image == nullptr)
        return;
    m_image->fill(colour);
    const Row whole{0, m_image->width() - 1, colour, 0, -1};
    std::fill(m_rows.begin(), m_rows.end(), m_spanMemory ? whole : Row{});
}

void Raster::markDirty(int y, int from, int to) {
    Row &row = m_rows[static_cast<std::size_t>(y)];
    if (row.dirtyFrom > row.dirtyTo) {
        row.dirtyFrom = from;
        row.dirtyTo = to;
    } else {
        row.dirtyFrom = std::min(row.dirtyFrom, from);
        row.dirtyTo = std::max(row.dirtyTo, to);
    }
}

void Raster::paintRow(QRgb *pixels, int y, int from, int to, QRgb colour) {
    if (!m_spanMemory) {
        std::fill(pixels + from, pixels + to + 1, colour);
        return;
    }
    Row &row = m_rows[static_cast<std::size_t>(y)];
    if (row.spanFrom == from && row.spanTo == to && row.colour == colour) {
        // Every pixel of the span outside the damaged columns still has this colour.
        const int a = std::max(from, row.dirtyFrom);
        const int b = std::min(to, row.dirtyTo);
        if (a <= b)
            std::fill(pixels + a, pixels + b + 1, colour);
        row.dirtyFrom = 0;
        row.dirtyTo = -1;
        return;
    }
    std::fill(pixels + from, pixels + to + 1, colour);
    if (to - from + 1 >= rememberedWidth || row.spanFrom > row.spanTo)
        row = Row{from, to, colour, 0, -1};
    else
        markDirty(y, from, to);
}

void Raster::fillRect(long long x0, long long y0, long long x1, long long y1, QRgb colour) {
    if (m_image == nullptr)
        return;
    if (x0 > x1)
        std::swap(x0, x1);
    if (y0 > y1)
        std::swap(y0, y1);
    x0 = std::max(x0, 0LL);
    y0 = std::max(y0, 0LL);
    x1 = std::min<long long>(x1, m_image->width() - 1);
    y1 = std::min<long long>(y1, m_image->height() - 1);
    if (x0 > x1 || y0 > y1)
        return;
    // One detach check for the whole rectangle, not one per row.
    uchar *const bits = m_image->bits();
    const qsizetype stride = m_image->bytesPerLine();
    for (long long y = y0; y <= y1; ++y)
        paintRow(reinterpret_cast<QRgb *>(bits + y * stride), static_cast<int>(y),
                 static_cast<int>(x0), static_cast<int>(x1), colour);
}

void Raster::touched(long long x0, long long y0, long long x1, long long y1) {
    if (m_image == nullptr || !m_spanMemory)
        return;
    x0 = std::max(x0, 0LL);
    y0 = std::max(y0, 0LL);
    x1 = std::min<long long>(x1, m_image->width() - 1);
    y1 = std::min<long long>(y1, m_image->height() - 1);
    for (long long y = y0; y <= y1 && x0 <= x1; ++y)
        markDirty(static_cast<int>(y), static_cast<int>(x0), static_cast<int>(x1));
}

void Raster::box(long long x0, long long y0, long long x1, long long y1, int width, QRgb colour) {
    fillRect(std::min(x0, x1) + lowOffset(width), std::min(y0, y1) + lowOffset(width),
             std::max(x0, x1) + highOffset(width), std::max(y0, y1) + highOffset(width), colour);
}

void Raster::point(long long x, long long y, int width, QRgb colour) {
    box(x, y, x, y, width, colour);
}

void Raster::line(long long x0, long long y0, long long x1, long long y1, int width, QRgb colour) {
    if (m_image == nullptr)
        return;
    const auto clamp = [](long long v) { return std::clamp(v, -coordinateLimit, coordinateLimit); };
    x0 = clamp(x0);
    y0 = clamp(y0);
    x1 = clamp(x1);
    y1 = clamp(y1);
    if (y0 == y1 || x0 == x1) {
        box(x0, y0, x1, y1, width, colour);
        return;
    }
    const long long margin = std::max(width, 1) + 1;
    const long long xmin = -margin;
    const long long ymin = -margin;
    const long long xmax = m_image->width() + margin;
    const long long ymax = m_image->height() + margin;
    const auto outside = [&](long long x, long long y) {
        return x < xmin || x > xmax || y < ymin || y > ymax;
    };
    if (outside(x0, y0) || outside(x1, y1)) {
        auto fx0 = static_cast<double>(x0);
        auto fy0 = static_cast<double>(y0);
        auto fx1 = static_cast<double>(x1);
        auto fy1 = static_cast<double>(y1);
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
    const int hi = highOffset(width);
    for (;;) {
        fillRect(x + lo, y + lo, x + hi, y + hi, colour);
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
