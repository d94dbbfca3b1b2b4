#include "canvas/lineitem.h"

#include "canvas/raster.h"

#include <QPainter>
#include <QRectF>
#include <algorithm>
#include <cmath>

LineItem::LineItem(const QString &name, LineHost &host, QObject *parent, QColor colour, int width)
    : QObject(parent), m_host(host), m_colour(colour), m_width(width) {
    setObjectName(name);
}

void LineItem::startMoved() {
    m_pixelStart = m_host.lineDevicePixel(QPointF(m_x1, m_y1));
    m_host.lineItemChanged(this);
}

void LineItem::endMoved() {
    m_pixelEnd = m_host.lineDevicePixel(QPointF(m_x2, m_y2));
    m_host.lineItemChanged(this);
}

void LineItem::setX1(float value) {
    m_x1 = value;
    startMoved();
}

void LineItem::setY1(float value) {
    m_y1 = value;
    startMoved();
}

void LineItem::setX2(float value) {
    m_x2 = value;
    endMoved();
}

void LineItem::setY2(float value) {
    m_y2 = value;
    endMoved();
}

void LineItem::ZOrder() { m_host.raiseLineItem(this); }

void LineItem::scalePixels(qreal factor) {
    const auto scaled = [factor](QPoint pixel) {
        return QPoint(static_cast<int>(std::floor(pixel.x() * factor)),
                      static_cast<int>(std::floor(pixel.y() * factor)));
    };
    m_pixelStart = scaled(m_pixelStart);
    m_pixelEnd = scaled(m_pixelEnd);
    m_host.lineItemChanged(this);
}

void LineItem::paint(QPainter &painter, QSize deviceSize, qreal deviceRatio) const {
    const int width = std::max(1, static_cast<int>(std::lround(m_width * deviceRatio)));
    const int low = Raster::squareLow(width);
    const int high = Raster::squareHigh(width);
    // Neighbouring squares on one row are filled as one run.
    bool open = false;
    long long runFrom = 0;
    long long runTo = 0;
    long long runRow = 0;
    const auto fillRun = [&] {
        painter.fillRect(QRectF((runFrom + low) / deviceRatio, (runRow + low) / deviceRatio,
                                (runTo - runFrom + width) / deviceRatio, width / deviceRatio),
                         m_colour);
    };
    Raster::linePath(m_pixelStart.x(), m_pixelStart.y(), m_pixelEnd.x(), m_pixelEnd.y(), -high,
                     -high, deviceSize.width() - 1 - low, deviceSize.height() - 1 - low,
                     [&](long long x, long long y) {
                         if (open && y == runRow && (x == runTo + 1 || x == runFrom - 1)) {
                             runFrom = std::min(runFrom, x);
                             runTo = std::max(runTo, x);
                             return;
                         }
                         if (open)
                             fillRun();
                         open = true;
                         runFrom = runTo = x;
                         runRow = y;
                     });
    if (open)
        fillRun();
}
