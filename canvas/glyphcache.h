#pragma once

#include <QFont>
#include <QHash>
#include <QImage>
#include <QRgb>
#include <QString>

// Rendered texts kept as coverage masks, so that printing the same label again costs a blend
// instead of a text layout. The cache belongs to one canvas.
class GlyphCache {
public:
    // Paints `text` in `font` and `colour` into `image` with the top-left corner of its line box
    // at the device pixel (x, y); only the strokes are painted, the pixels around them keep
    // what they held. Returns the device pixels it may have changed.
    QRect draw(QImage &image, long long x, long long y, const QString &text, const QFont &font,
               qreal devicePixelRatio, QRgb colour);

private:
    const QImage &mask(const QString &text, const QFont &font, qreal devicePixelRatio);

    QHash<QString, QImage> m_masks;
};
