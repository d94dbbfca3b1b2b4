#include "canvas/drawingrecord.h"

#include "canvas/glyphcache.h"
#include "canvas/raster.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <algorithm>

namespace {

using Kind = DrawingRecord::Operation::Kind;

std::uint16_t narrow(int width) { return static_cast<std::uint16_t>(std::clamp(width, 1, 65535)); }

int clamped(long long v) { return static_cast<int>(Raster::clampCoordinate(v)); }

// A list with more dropped operations than this (and than live ones) is compacted.
constexpr qsizetype compactFrom = 4096;

// The device pixels a box paints: from its lower to its upper corner, widened.
QRect boxPixels(const DrawingRecord::Operation &op) {
    const int lo = Raster::squareLow(op.width);
    const int hi = Raster::squareHigh(op.width);
    return QRect(QPoint(op.x0 + lo, op.y0 + lo), QPoint(op.x1 + hi, op.y1 + hi));
}

// Adds a rectangle to a run of one colour; one that continues the last along a row or a column
// (a column of marks, say) grows it instead, which paints the same pixels.
void appendMerged(QList<QRect> &run, const QRect &box) {
    if (!run.isEmpty()) {
        QRect &last = run.last();
        const bool column = box.left() == last.left() && box.right() == last.right() &&
                            box.top() <= last.bottom() + 1 && box.bottom() >= last.top() - 1;
        const bool row = box.top() == last.top() && box.bottom() == last.bottom() &&
                         box.left() <= last.right() + 1 && box.right() >= last.left() - 1;
        if (column || row) {
            last = last.united(box);
            return;
        }
    }
    run.append(box);
}

} // namespace

void DrawingRecord::reset(QSize deviceSize, double ratio) {
    m_size = deviceSize;
    m_ratio = ratio;
    m_operations.clear();
    m_texts.clear();
    m_dropped = 0;
    m_lastOnRow.assign(static_cast<std::size_t>(std::max(0, deviceSize.height())), -1);
    m_lastOnColumn.assign(static_cast<std::size_t>(std::max(0, deviceSize.width())), -1);
}

void DrawingRecord::addFill(QRgb colour) {
    reset(m_size, m_ratio);
    Operation op;
    op.kind = Kind::Fill;
    op.colour = colour;
    m_operations.push_back(op);
}

void DrawingRecord::addBox(long long x0, long long y0, long long x1, long long y1, int width,
                           QRgb colour) {
    Operation op;
    op.kind = Kind::Box;
    op.width = narrow(width);
    op.colour = colour;
    op.x0 = clamped(std::min(x0, x1));
    op.y0 = clamped(std::min(y0, y1));
    op.x1 = clamped(std::max(x0, x1));
    op.y1 = clamped(std::max(y0, y1));
    const int lo = Raster::squareLow(width);
    const int hi = Raster::squareHigh(width);
    if (op.x0 + lo <= 0 && op.y0 + lo <= 0 && op.x1 + hi >= m_size.width() - 1 &&
        op.y1 + hi >= m_size.height() - 1) {
        // Covers the whole image: nothing drawn before shows any more.
        reset(m_size, m_ratio);
        m_operations.push_back(op);
        return;
    }
    // The latest zero-height box on its row, or zero-width box in its column, with the same
    // corners and no greater width is wholly covered by this one.
    int *latest = nullptr;
    if (op.y0 == op.y1) {
        if (op.y0 >= 0 && op.y0 < m_size.height())
            latest = &m_lastOnRow[static_cast<std::size_t>(op.y0)];
    } else if (op.x0 == op.x1 && op.x0 >= 0 && op.x0 < m_size.width()) {
        latest = &m_lastOnColumn[static_cast<std::size_t>(op.x0)];
    }
    if (latest != nullptr) {
        if (*latest >= 0) {
            Operation &earlier = m_operations[static_cast<std::size_t>(*latest)];
            if (earlier.kind == Kind::Box && earlier.x0 == op.x0 && earlier.y0 == op.y0 &&
                earlier.x1 == op.x1 && earlier.y1 == op.y1 && earlier.width <= op.width) {
                earlier.kind = Kind::Dropped;
                ++m_dropped;
            }
        }
        *latest = static_cast<int>(m_operations.size());
    }
    m_operations.push_back(op);
    if (m_dropped >= compactFrom && 2 * m_dropped > static_cast<qsizetype>(m_operations.size()))
        compact();
}

void DrawingRecord::addLine(long long x0, long long y0, long long x1, long long y1, int width,
                            QRgb colour) {
    x0 = clamped(x0);
    y0 = clamped(y0);
    x1 = clamped(x1);
    y1 = clamped(y1);
    if (x0 == x1 || y0 == y1) {
        addBox(x0, y0, x1, y1, width, colour);
        return;
    }
    Operation op;
    op.kind = Kind::Line;
    op.width = narrow(width);
    op.colour = colour;
    op.x0 = static_cast<int>(x0);
    op.y0 = static_cast<int>(y0);
    op.x1 = static_cast<int>(x1);
    op.y1 = static_cast<int>(y1);
    m_operations.push_back(op);
}

void DrawingRecord::addText(long long x, long long y, const QString &text, const QFont &font,
                            QRgb colour) {
    Operation op;
    op.kind = Kind::Text;
    op.colour = colour;
    op.x0 = clamped(x);
    op.y0 = clamped(y);
    op.x1 = static_cast<int>(m_texts.size());
    m_texts.append({text, font});
    m_operations.push_back(op);
}

void DrawingRecord::compact() {
    std::erase_if(m_operations, [](const Operation &op) { return op.kind == Kind::Dropped; });
    m_dropped = 0;
    // The latest on each row and column, at their new places.
    std::fill(m_lastOnRow.begin(), m_lastOnRow.end(), -1);
    std::fill(m_lastOnColumn.begin(), m_lastOnColumn.end(), -1);
    for (std::size_t i = 0; i < m_operations.size(); ++i) {
        const Operation &op = m_operations[i];
        if (op.kind != Kind::Box)
            continue;
        if (op.y0 == op.y1 && op.y0 >= 0 && op.y0 < m_size.height())
            m_lastOnRow[static_cast<std::size_t>(op.y0)] = static_cast<int>(i);
        else if (op.x0 == op.x1 && op.x0 >= 0 && op.x0 < m_size.width())
            m_lastOnColumn[static_cast<std::size_t>(op.x0)] = static_cast<int>(i);
    }
}

void DrawingRecord::rasterise(const Operation &op, Raster &raster, GlyphCache &glyphs,
                              QImage &image) const {
    switch (op.kind) {
    case Kind::Fill:
        raster.fill(op.colour);
        break;
    case Kind::Box:
        raster.box(op.x0, op.y0, op.x1, op.y1, op.width, op.colour);
        break;
    case Kind::Line:
        raster.line(op.x0, op.y0, op.x1, op.y1, op.width, op.colour);
        break;
    case Kind::Text: {
        const Text &t = m_texts[op.x1];
        const QRect painted = glyphs.draw(image, op.x0, op.y0, t.text, t.font, m_ratio, op.colour);
        raster.touched(painted.left(), painted.top(), painted.right(), painted.bottom());
        break;
    }
    case Kind::Dropped:
        break;
    }
}

QImage DrawingRecord::replay(Raster::Spans spans) const {
    if (m_size.isEmpty())
        return {};
    QImage image(m_size, QImage::Format_RGB32);
    image.fill(Qt::black);
    image.setDevicePixelRatio(m_ratio);
    Raster raster(spans);
    raster.attach(&image);
    GlyphCache glyphs;
    for (const Operation &op : m_operations)
        rasterise(op, raster, glyphs, image);
    return image;
}

void DrawingRecord::paint(QPainter &painter) const {
    painter.save();
    painter.setClipRect(QRect(QPoint(0, 0), m_size), Qt::IntersectClip);
    painter.setRenderHint(QPainter::Antialiasing, false);
    // Runs of boxes in one colour go to the device as one call, so that a vector file gets one
    // group per run rather than one per box.
    // The raster renders text on images, at their resolution.
    const double rasterDpi = QImage(1, 1, QImage::Format_RGB32).logicalDpiY();
    QList<QRect> boxes;
    QRgb boxColour = 0;
    const auto flushBoxes = [&] {
        if (boxes.isEmpty())
            return;
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor::fromRgb(boxColour));
        painter.drawRects(boxes.constData(), static_cast<int>(boxes.size()));
        boxes.clear();
    };
    for (const Operation &op : m_operations) {
        if (op.kind == Kind::Dropped)
            continue;
        if (op.kind != Kind::Box)
            flushBoxes();
        switch (op.kind) {
        case Kind::Fill:
            painter.fillRect(QRect(QPoint(0, 0), m_size), QColor::fromRgb(op.colour));
            break;
        case Kind::Box:
            if (!boxes.isEmpty() && op.colour != boxColour)
                flushBoxes();
            boxColour = op.colour;
            appendMerged(boxes, boxPixels(op));
            break;
        case Kind::Line: {
            // The path's pixels widened to squares, as one stroke from the centre of the first
            // square to the centre of the last, with square ends.
            const double centre = Raster::squareLow(op.width) + op.width / 2.0;
            QPen pen(QColor::fromRgb(op.colour), op.width, Qt::SolidLine, Qt::SquareCap,
                     Qt::MiterJoin);
            painter.setPen(pen);
            painter.drawLine(QPointF(op.x0 + centre, op.y0 + centre),
                             QPointF(op.x1 + centre, op.y1 + centre));
            break;
        }
        case Kind::Text: {
            const Text &t = m_texts[op.x1];
            // The same size as the raster's text, in device pixels of the record, whatever the
            // resolution of the painter's device.
            QFont font = t.font;
            if (t.font.pointSizeF() > 0) {
                const double dpi =
                    painter.device() != nullptr ? painter.device()->logicalDpiY() : rasterDpi;
                font.setPointSizeF(t.font.pointSizeF() * rasterDpi * m_ratio / dpi);
            } else {
                font.setPixelSize(qRound(t.font.pixelSize() * m_ratio));
            }
            painter.setFont(font);
            painter.setPen(QColor::fromRgb(op.colour));
            const double ascent = QFontMetricsF(t.font).ascent() * m_ratio;
            painter.drawText(QPointF(op.x0, op.y0 + ascent), t.text);
            break;
        }
        case Kind::Dropped:
            break;
        }
    }
    flushBoxes();
    painter.restore();
}
