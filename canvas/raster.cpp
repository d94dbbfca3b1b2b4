#include "canvas/raster.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

// Spans at least this wide are remembered; narrower ones count as damage to the remembered one.
constexpr int rememberedWidth = 64;

} // namespace

long long Raster::pixelOf(double position) {
    if (std::isnan(position))
        return coordinateLimit;
    const double limit = static_cast<double>(coordinateLimit);
    return static_cast<long long>(std::floor(std::clamp(position, -limit, limit)));
}

void Raster::attach(QImage *image) {
    m_image = image != nullptr && !image->isNull() ? image : nullptr;
    m_width = m_image != nullptr ? m_image->width() : 0;
    m_height = m_image != nullptr ? m_image->height() : 0;
    m_rows.assign(m_image != nullptr ? static_cast<std::size_t>(m_image->height()) : 0, Row{});
}

void Raster::fill(QRgb colour) {
    if (m_image == nullptr)
        return;
    m_image->fill(colour);
    const Row whole{0, m_width - 1, colour, 0, -1};
    std::fill(m_rows.begin(), m_rows.end(), m_spanMemory ? whole : Row{});
}

void Raster::markDirty(int y, int from, int to) {
    widenDamage(m_rows[static_cast<std::size_t>(y)], from, to);
}

void Raster::widenDamage(Row &row, int from, int to) {
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
        widenDamage(row, from, to);
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
    x1 = std::min<long long>(x1, m_width - 1);
    y1 = std::min<long long>(y1, m_height - 1);
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
    x1 = std::min<long long>(x1, m_width - 1);
    y1 = std::min<long long>(y1, m_height - 1);
    for (long long y = y0; y <= y1 && x0 <= x1; ++y)
        markDirty(static_cast<int>(y), static_cast<int>(x0), static_cast<int>(x1));
}

void Raster::box(long long x0, long long y0, long long x1, long long y1, int width, QRgb colour) {
    fillRect(std::min(x0, x1) + squareLow(width), std::min(y0, y1) + squareLow(width),
             std::max(x0, x1) + squareHigh(width), std::max(y0, y1) + squareHigh(width), colour);
}

void Raster::point(long long x, long long y, int width, QRgb colour) {
    box(x, y, x, y, width, colour);
}

void Raster::line(long long x0, long long y0, long long x1, long long y1, int width, QRgb colour) {
    if (m_image == nullptr)
        return;
    x0 = clampCoordinate(x0);
    y0 = clampCoordinate(y0);
    x1 = clampCoordinate(x1);
    y1 = clampCoordinate(y1);
    if (y0 == y1 || x0 == x1) {
        box(x0, y0, x1, y1, width, colour);
        return;
    }
    const int lo = squareLow(width);
    const int hi = squareHigh(width);
    // The path pixels whose square reaches into the image.
    linePath(x0, y0, x1, y1, -hi, -hi, m_width - 1 - lo, m_height - 1 - lo,
             [&](long long x, long long y) { fillRect(x + lo, y + lo, x + hi, y + hi, colour); });
}
