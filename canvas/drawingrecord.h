#pragma once

#include <QFont>
#include <QImage>
#include <QList>
#include <QRgb>
#include <QSize>
#include <QString>
#include <cstdint>
#include <vector>

#include "canvas/raster.h"

class GlyphCache;
class QPainter;

// What a canvas has drawn since it was last cleared, one operation after the other, in the device
// pixels of the moment each was drawn. It is the picture as a list: painted again by the raster
// rule (canvas/raster.h) it gives the canvas's image pixel for pixel, and painted through QPainter
// it gives the same picture as vectors and text on any paint device.
//
// An operation that a later one covers wholly changes nothing of the picture and is dropped: a box
// that covers the whole image drops everything before it, and a box or an axis-parallel line drawn
// again with the same corners and at least the same width drops the earlier one. So the search,
// which draws each grid row a hundred times, leaves one of each, and the list stays near the size
// of one frame plus the marks.
class DrawingRecord {
public:
    struct Operation {
        // Fill: the whole image (clearing). Box: the pixels from corner to corner, widened.
        // Line: the path from (x0, y0) to (x1, y1), widened. Text: the text numbered x1 with the
        // top-left corner of its line box at (x0, y0). Kept small: the search adds ten thousand.
        enum class Kind : std::uint8_t { Fill, Box, Line, Text, Dropped };
        Kind kind = Kind::Fill;
        std::uint16_t width = 1; // device pixels
        QRgb colour = 0;
        int x0 = 0;
        int y0 = 0;
        int x1 = 0;
        int y1 = 0;
    };
    struct Text {
        QString text;
        QFont font;
    };

    // Starts an empty list for an image of the given device size and ratio.
    void reset(QSize deviceSize, double ratio);
    QSize deviceSize() const { return m_size; }
    double ratio() const { return m_ratio; }

    // Appends an operation in device pixels (coordinates clamped as the raster clamps them);
    // an axis-parallel line is kept as the box it paints.
    void addFill(QRgb colour);
    void addBox(long long x0, long long y0, long long x1, long long y1, int width, QRgb colour);
    void addLine(long long x0, long long y0, long long x1, long long y1, int width, QRgb colour);
    void addText(long long x, long long y, const QString &text, const QFont &font, QRgb colour);
    // The operation appended last.
    const Operation &last() const { return m_operations.back(); }

    // The operations that still count, in the order drawn.
    qsizetype size() const { return static_cast<qsizetype>(m_operations.size()) - m_dropped; }

    // Paints one operation by the raster rule.
    void rasterise(const Operation &operation, Raster &raster, GlyphCache &glyphs,
                   QImage &image) const;
    // The picture by the raster rule, at the record's device size and ratio.
    QImage replay(Raster::Spans spans = Raster::Spans::Remembered) const;
    // The picture through QPainter, in the record's device pixels (the painter's transform places
    // them), clipped to the image's rectangle: boxes and lines as vector shapes, text as text.
    void paint(QPainter &painter) const;

private:
    void compact();

    QSize m_size;
    double m_ratio = 1;
    std::vector<Operation> m_operations;
    QList<Text> m_texts;
    qsizetype m_dropped = 0;
    // The latest box on each row (zero height) and each column (zero width), for the rule above.
    std::vector<int> m_lastOnRow;
    std::vector<int> m_lastOnColumn;
};
