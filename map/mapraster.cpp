#include "map/mapraster.h"

#include "map/mapstore.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cmath>

namespace {

// The faintest a pixel with any solution is drawn: a single one among a million cells must
// still be seen on white.
constexpr float faintest = 0.3f;

// log2 to a few hundredths, a dozen times faster than std::log2: plenty for a shade of colour.
float roughLog2(float value) {
    const auto bits = std::bit_cast<std::uint32_t>(value);
    const auto exponent = static_cast<float>(static_cast<int>(bits >> 23) - 127);
    const float mantissa = std::bit_cast<float>((bits & 0x7fffff) | 0x3f800000);
    return exponent + (-0.34484843f * mantissa + 2.02466578f) * mantissa - 0.67487759f;
}

void fill(QImage &image, int x0, int y0, int x1, int y1, QRgb colour) {
    for (int y = y0; y < y1; ++y)
        std::fill(reinterpret_cast<QRgb *>(image.scanLine(y)) + x0,
                  reinterpret_cast<QRgb *>(image.scanLine(y)) + x1, colour);
}

QRgb classColour(std::uint32_t x, std::uint32_t y) {
    return x < y ? MapRaster::aboveColor : x > y ? MapRaster::belowColor : MapRaster::onColor;
}

// A leg from a world coordinate, kept within 0..high.
std::uint32_t leg(double world, double high) {
    return static_cast<std::uint32_t>(std::clamp(world, 0.0, high));
}

} // namespace

int MapRaster::firstPixelFrom(double world, double origin, double scale) {
    const double pixel = std::ceil((world - origin) / scale - 0.5);
    return static_cast<int>(std::clamp(pixel, double{INT_MIN / 2}, double{INT_MAX / 2}));
}

void MapRaster::draw(const MapStore &store, const MapFrame &frame, QImage &image, QRect pixels) {
    pixels = pixels.isNull() ? QRect(0, 0, frame.width, frame.height)
                             : pixels.intersected(QRect(0, 0, frame.width, frame.height));
    if (pixels.isEmpty())
        return;
    const double s = frame.scale;
    const double n = store.maxLeg();
    fill(image, pixels.left(), pixels.top(), pixels.right() + 1, pixels.bottom() + 1, outside);
    // Where 1..N lies, in pixels: the pixels whose centres lie in it where each cell is a mark,
    // else every pixel that takes in a leg of it, lest the cells at the edges be lost.
    const auto first = [s](double world, double origin) {
        return s < 1 ? firstPixelFrom(world, origin, s)
                     : static_cast<int>(std::clamp(std::floor((world - origin) / s), -1e9, 1e9));
    };
    const auto end = [s](double world, double origin) {
        return s < 1 ? firstPixelFrom(world, origin, s)
                     : static_cast<int>(std::clamp(std::ceil((world - origin) / s), -1e9, 1e9));
    };
    const QRect inside = QRect(QPoint(first(1, frame.left), first(frame.top - (n + 1), 0)),
                               QPoint(end(n + 1, frame.left) - 1, end(frame.top - 1, 0) - 1))
                             .intersected(pixels);
    if (inside.isEmpty())
        return;
    fill(image, inside.left(), inside.top(), inside.right() + 1, inside.bottom() + 1, ground);
    if (s < 1) {
        marks(store, frame, image, inside);
        return;
    }
    const auto size = static_cast<std::size_t>(inside.width()) * inside.height();
    m_sums.assign(size, Sums{0, 0, 0});
    m_areaX.assign(static_cast<std::size_t>(inside.width()), 0);
    m_areaY.assign(static_cast<std::size_t>(inside.height()), 0);
    const MapGrid &grid = store.grid();
    int level = -1;
    while (level + 1 < grid.levels() && grid.width(level + 1) <= s)
        ++level;
    if (level >= 0 && grid.width(0) > 1)
        fromLevel(store, frame, inside, level);
    else
        fromPoints(store, frame, inside);
    colour(frame, image, inside);
}

// Each cell of the level counts in the pixel that holds its centre. A pixel takes in one or two
// cells a side, so the count is taken relative to the legs it took in, lest the picture stripe.
void MapRaster::fromLevel(const MapStore &store, const MapFrame &frame, const QRect &pixels,
                          int level) {
    const MapGrid &grid = store.grid();
    const double n = grid.maxLeg();
    const double inverse = 1 / frame.scale;
    const auto cellAt = [&](double world) {
        return grid.cellOf(std::max<std::uint32_t>(1, leg(world, n)), level);
    };
    const std::uint32_t k0 = cellAt(std::floor(frame.left + pixels.left() * frame.scale) - 1);
    const std::uint32_t k1 = cellAt(std::ceil(frame.left + (pixels.right() + 1) * frame.scale));
    const std::uint32_t r0 = cellAt(std::floor(frame.top - (pixels.bottom() + 1) * frame.scale));
    const std::uint32_t r1 = cellAt(std::ceil(frame.top - pixels.top() * frame.scale) + 1);
    const auto height = static_cast<std::size_t>(pixels.height());
    std::vector<int> rowPixel(r1 - r0 + 1, -1);
    for (std::uint32_t r = r0; r <= r1; ++r) {
        const double first = grid.firstLeg(r, level);
        const double last = grid.lastLeg(r, level);
        const double py = std::floor((frame.top - (first + last + 1) / 2) * inverse);
        if (py >= pixels.top() && py <= pixels.bottom()) {
            rowPixel[r - r0] = static_cast<int>(py) - pixels.top();
            m_areaY[static_cast<std::size_t>(rowPixel[r - r0])] +=
                static_cast<float>(last - first + 1);
        }
    }
    for (std::uint32_t k = k0; k <= k1; ++k) {
        const double first = grid.firstLeg(k, level);
        const double last = grid.lastLeg(k, level);
        const double px = std::floor(((first + last + 1) / 2 - frame.left) * inverse);
        if (px < pixels.left() || px > pixels.right())
            continue;
        const auto column = static_cast<std::size_t>(px) - static_cast<std::size_t>(pixels.left());
        m_areaX[column] += static_cast<float>(last - first + 1);
        const std::uint32_t *sums = level == 0 ? store.fineColumn(k) : nullptr;
        const std::uint32_t *counts = level > 0 ? store.levelColumn(level, k) : nullptr;
        if (level == 0 && sums == nullptr)
            continue; // not loaded yet
        Sums *pixelColumn = &m_sums[column * height];
        for (std::uint32_t r = r0; r <= r1; ++r) {
            const std::uint32_t count = sums ? sums[r + 1] - sums[r] : counts[r];
            const int py = rowPixel[r - r0];
            if (count == 0 || py < 0)
                continue;
            Sums &pixel = pixelColumn[py];
            if (k < r) {
                pixel.above += count;
            } else if (k > r) {
                pixel.below += count;
            } else {
                const DiagonalSplit split =
                    level == 0 ? store.fineDiagonal(k) : store.levelDiagonal(level, k);
                pixel.above += split.above;
                pixel.below += split.below;
                pixel.on += split.on;
            }
        }
    }
}

void MapRaster::fromPoints(const MapStore &store, const MapFrame &frame, const QRect &pixels) {
    const double s = frame.scale;
    const double inverse = 1 / s;
    const double n = store.maxLeg();
    for (int px = pixels.left(); px <= pixels.right(); ++px) {
        // x + 0.5 in [left + px·s, left + (px + 1)·s)
        const double low = std::max(1.0, std::ceil(frame.left + px * s - 0.5));
        const double high = std::min(n + 1, std::ceil(frame.left + (px + 1) * s - 0.5));
        m_areaX[static_cast<std::size_t>(px - pixels.left())] =
            static_cast<float>(std::max(0.0, high - low));
    }
    for (int py = pixels.top(); py <= pixels.bottom(); ++py) {
        // y + 0.5 in (top − (py + 1)·s, top − py·s]
        const double low = std::max(1.0, std::floor(frame.top - (py + 1) * s - 0.5) + 1);
        const double high = std::min(n, std::floor(frame.top - py * s - 0.5));
        m_areaY[static_cast<std::size_t>(py - pixels.top())] =
            static_cast<float>(std::max(0.0, high - low + 1));
    }
    const double xFirst = std::max(1.0, std::ceil(frame.left + pixels.left() * s - 0.5));
    const double xLast = std::min<double>(
        store.loadedThrough(), std::ceil(frame.left + (pixels.right() + 1) * s - 0.5) - 1);
    const double yFirst =
        std::max(1.0, std::floor(frame.top - (pixels.bottom() + 1) * s - 0.5) + 1);
    const double yLast = std::min(n, std::floor(frame.top - pixels.top() * s - 0.5));
    if (xFirst > xLast || yFirst > yLast)
        return;
    const auto ya = static_cast<std::uint32_t>(yFirst);
    const auto yb = static_cast<std::uint32_t>(yLast);
    const auto height = static_cast<std::size_t>(pixels.height());
    for (auto x = static_cast<std::uint32_t>(xFirst); x <= xLast; ++x) {
        const std::span<const std::uint32_t> column = store.column(x);
        if (column.empty())
            continue;
        const int px = static_cast<int>((x + 0.5 - frame.left) * inverse) - pixels.left();
        if (px < 0 || px >= pixels.width())
            continue;
        Sums *sums = &m_sums[static_cast<std::size_t>(px) * height];
        auto it = ya > 1 ? std::lower_bound(column.begin(), column.end(), ya << 1) : column.begin();
        for (; it != column.end(); ++it) {
            const std::uint32_t y = *it >> 1;
            if (y > yb)
                break;
            const int py = static_cast<int>((frame.top - y - 0.5) * inverse) - pixels.top();
            if (py < 0 || py >= pixels.height())
                continue;
            Sums &pixel = sums[py];
            if (x < y)
                ++pixel.above;
            else if (x > y)
                ++pixel.below;
            else
                ++pixel.on;
        }
    }
}

// A pixel is as strong as the number of its solutions against those of a line of cells through
// it, on a logarithmic scale: the parabolas of the families, one solution in a few cells, come
// out strong, and a lone solution faint but seen.
void MapRaster::colour(const MapFrame &frame, QImage &image, const QRect &pixels) {
    const double s = frame.scale;
    const auto area = static_cast<float>(s * s);
    const auto reference = static_cast<float>(1 / std::log2(1 + s));
    // A pixel of one class takes one of 256 shades from white to the class's colour.
    const auto shade = [](QRgb full, int level) {
        const auto mix = [level](int channel) { return 255 - (255 - channel) * level / 255; };
        return qRgb(mix(qRed(full)), mix(qGreen(full)), mix(qBlue(full)));
    };
    for (int level = 0; level < 256; ++level) {
        m_shades[0][level] = shade(aboveColor, level);
        m_shades[1][level] = shade(belowColor, level);
        m_shades[2][level] = shade(onColor, level);
    }
    for (float &legs : m_areaY)
        legs = legs > 0 ? area / legs : 0;
    uchar *const bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
    const int height = pixels.height();
    for (int column = 0; column < pixels.width(); ++column) {
        const float columnArea = m_areaX[static_cast<std::size_t>(column)];
        if (columnArea <= 0)
            continue;
        const float columnFactor = 1 / columnArea;
        const Sums *sums = &m_sums[static_cast<std::size_t>(column) * height];
        const int px = pixels.left() + column;
        for (int row = 0; row < height; ++row) {
            const Sums &pixel = sums[row];
            const std::uint32_t total = pixel.above + pixel.below + pixel.on;
            if (total == 0)
                continue;
            const float expected =
                static_cast<float>(total) * columnFactor * m_areaY[static_cast<std::size_t>(row)];
            const float strength =
                faintest + (1 - faintest) * std::min(1.0f, roughLog2(1 + expected) * reference);
            const int level = static_cast<int>(strength * 255 + 0.5f);
            QRgb &out = reinterpret_cast<QRgb *>(bits + (pixels.top() + row) * stride)[px];
            if (pixel.above == total) {
                out = m_shades[0][level];
            } else if (pixel.below == total) {
                out = m_shades[1][level];
            } else if (pixel.on == total) {
                out = m_shades[2][level];
            } else {
                // The mix of the classes' colours (black adds nothing), white taking what the
                // strength leaves.
                const float share = strength / static_cast<float>(total);
                const float white = 1 - strength;
                const auto channel = [](float value) {
                    return static_cast<int>(std::clamp(value, 0.0f, 1.0f) * 255 + 0.5f);
                };
                out = qRgb(channel(white + static_cast<float>(pixel.below) * share), channel(white),
                           channel(white + static_cast<float>(pixel.above) * share));
            }
        }
    }
}

void MapRaster::marks(const MapStore &store, const MapFrame &frame, QImage &image,
                      const QRect &pixels) const {
    const double s = frame.scale;
    const double n = store.maxLeg();
    const int left = pixels.left();
    const int right = pixels.right() + 1;
    const int top = pixels.top();
    const int bottom = pixels.bottom() + 1;
    const std::uint32_t xa = std::max<std::uint32_t>(1, leg(frame.left + left * s - 1, n + 1));
    const std::uint32_t xb = leg(frame.left + right * s + 1, store.loadedThrough() + 1.0);
    const std::uint32_t ya = std::max<std::uint32_t>(1, leg(frame.top - bottom * s - 1, n + 1));
    const std::uint32_t yb = leg(frame.top - top * s + 1, n);
    for (std::uint32_t x = xa; x < xb; ++x) {
        const int p0 = std::max(left, firstPixelFrom(x, frame.left, s));
        const int p1 = std::min(right, firstPixelFrom(x + 1.0, frame.left, s));
        if (p0 >= p1)
            continue;
        const std::span<const std::uint32_t> column = store.column(x);
        auto it = std::lower_bound(column.begin(), column.end(), ya << 1);
        for (; it != column.end() && (*it >> 1) <= yb; ++it) {
            const std::uint32_t y = *it >> 1;
            const int q0 = std::max(top, firstPixelFrom(frame.top - (y + 1.0), 0, s));
            const int q1 = std::min(bottom, firstPixelFrom(frame.top - y, 0, s));
            if (q0 < q1)
                fill(image, p0, q0, p1, q1, classColour(x, y));
        }
    }
    if (1 / s < gridFrom)
        return;
    // Grid lines over the marks, as the window draws its frame over them: at the left and the
    // foot of each cell.
    for (std::uint32_t x = xa; x <= std::min<std::uint32_t>(xb, store.maxLeg()); ++x) {
        const int p = firstPixelFrom(x, frame.left, s);
        if (p >= left && p < right)
            fill(image, p, top, p + 1, bottom, gridColor);
    }
    for (std::uint32_t y = ya; y <= yb; ++y) {
        const int q = firstPixelFrom(frame.top - y, 0, s) - 1;
        if (q >= top && q < bottom)
            fill(image, left, q, right, q + 1, gridColor);
    }
}

QImage MapRaster::plain(const MapStore &store, std::uint32_t x0, std::uint32_t y0, std::uint32_t x1,
                        std::uint32_t y1, int scale) {
    QImage image(static_cast<int>(x1 - x0 + 1) * scale, static_cast<int>(y1 - y0 + 1) * scale,
                 QImage::Format_RGB32);
    image.fill(ground);
    for (std::uint32_t x = x0; x <= x1; ++x) {
        const std::span<const std::uint32_t> column = store.column(x);
        auto it = std::lower_bound(column.begin(), column.end(), y0 << 1);
        for (; it != column.end() && (*it >> 1) <= y1; ++it) {
            const std::uint32_t y = *it >> 1;
            const int px = static_cast<int>(x - x0) * scale;
            const int py = static_cast<int>(y1 - y) * scale;
            fill(image, px, py, px + scale, py + scale, classColour(x, y));
        }
    }
    return image;
}
