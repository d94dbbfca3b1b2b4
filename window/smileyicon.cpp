#include "window/smileyicon.h"

#include <QPainter>
#include <QPixmap>

namespace {

// The sixteen colours of the icon palette; entry 0 is transparent.
QList<QRgb> iconPalette() {
    return {qRgba(0, 0, 0, 0),   qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),
            qRgb(128, 128, 0),   qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128),
            qRgb(192, 192, 192), qRgb(128, 128, 128), qRgb(255, 0, 0),   qRgb(0, 255, 0),
            qRgb(255, 255, 0),   qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(255, 255, 255)};
}

} // namespace

QImage smileyImage(int size) {
    QImage canvas(size, size, QImage::Format_ARGB32);
    canvas.fill(Qt::transparent);
    {
        QPainter p(&canvas);
        p.setRenderHint(QPainter::Antialiasing, false);
        const double s = size / 32.0;
        const double outline = std::max(1.0, 2.0 * s);
        p.setPen(QPen(Qt::black, outline));
        p.setBrush(QColor(255, 255, 0));
        p.drawEllipse(QRectF(1 * s, 1 * s, 30 * s - outline / 2, 30 * s - outline / 2));
        p.setBrush(Qt::black);
        p.setPen(Qt::NoPen);
        p.drawEllipse(QRectF(9 * s, 9 * s, 4 * s + 1, 5 * s + 1));
        p.drawEllipse(QRectF(19 * s, 9 * s, 4 * s + 1, 5 * s + 1));
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(Qt::black, outline));
        p.drawArc(QRectF(8 * s, 8 * s, 16 * s, 15 * s), 200 * 16, 140 * 16);
    }
    return canvas.convertToFormat(QImage::Format_Indexed8, iconPalette(),
                                  Qt::ThresholdDither | Qt::AvoidDither);
}

QIcon smileyIcon() {
    QIcon icon;
    icon.addPixmap(QPixmap::fromImage(smileyImage(16)));
    icon.addPixmap(QPixmap::fromImage(smileyImage(32)));
    return icon;
}
