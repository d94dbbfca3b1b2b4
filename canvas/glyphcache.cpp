#include "canvas/glyphcache.h"

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <cmath>

const QImage &GlyphCache::mask(const QString &text, const QFont &font, qreal devicePixelRatio) {
    const QString key =
        font.key() + QLatin1Char('|') + QString::number(devicePixelRatio) + QLatin1Char('|') + text;
    const auto found = m_masks.constFind(key);
    if (found != m_masks.constEnd())
        return *found;

    const QFontMetricsF metrics(font);
    const QSizeF logical(std::max<qreal>(1.0, metrics.horizontalAdvance(text) + 2.0),
                         std::max<qreal>(1.0, metrics.height()));
    QImage coverage(static_cast<int>(std::ceil(logical.width() * devicePixelRatio)),
                    static_cast<int>(std::ceil(logical.height() * devicePixelRatio)),
                    QImage::Format_ARGB32_Premultiplied);
    coverage.setDevicePixelRatio(devicePixelRatio);
    coverage.fill(Qt::transparent);
    {
        QPainter painter(&coverage);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(QPointF(0.0, metrics.ascent()), text);
    }
    return *m_masks.insert(key, coverage);
}

QRect GlyphCache::draw(QImage &image, long long x, long long y, const QString &text,
                       const QFont &font, qreal devicePixelRatio, QRgb colour) {
    const QImage &m = mask(text, font, devicePixelRatio);
    const long long x0 = std::max(0LL, x);
    const long long y0 = std::max(0LL, y);
    const long long x1 = std::min<long long>(image.width(), x + m.width());
    const long long y1 = std::min<long long>(image.height(), y + m.height());
    const int fr = qRed(colour);
    const int fg = qGreen(colour);
    const int fb = qBlue(colour);
    for (long long py = y0; py < y1; ++py) {
        const auto *src = reinterpret_cast<const QRgb *>(m.constScanLine(static_cast<int>(py - y)));
        auto *dst = reinterpret_cast<QRgb *>(image.scanLine(static_cast<int>(py)));
        for (long long px = x0; px < x1; ++px) {
            const int a = qAlpha(src[px - x]);
            if (a == 0)
                continue;
            const QRgb d = dst[px];
            const auto mix = [a](int f, int b) { return (f * a + b * (255 - a) + 127) / 255; };
            dst[px] = qRgb(mix(fr, qRed(d)), mix(fg, qGreen(d)), mix(fb, qBlue(d)));
        }
    }
    return {QPoint(static_cast<int>(x0), static_cast<int>(y0)),
            QPoint(static_cast<int>(x1 - 1), static_cast<int>(y1 - 1))};
}
