#include "canvas/lineitem.h"

#include "canvas/raster.h"

#include <QPainter>
#include <QPen>
#include <algorithm>
#include <cmath>

LineItem::LineItem(const QString &name, LineHost &host, QObject *parent, QColor colour, int width)
    : QObject(parent), m_host(host), m_colour(colour), m_width(width) {
    setObjectName(name);
}

void LineItem::startMoved() {
    m_start = m_host.lineMapping();
    m_host.lineItemChanged(this);
}

void LineItem::endMoved() {
    m_end = m_host.lineMapping();
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

void LineItem::setDeviceRatio(double ratio) {
    m_start = m_start.withRatio(ratio);
    m_end = m_end.withRatio(ratio);
    m_host.lineItemChanged(this);
}

void LineItem::paintPixels(QPainter &painter, QSize deviceSize) const {
    const int width = Raster::deviceWidth(m_width, m_start.ratio());
    const int low = Raster::squareLow(width);
    const int high = Raster::squareHigh(width);
    const QPoint start = pixelStart();
    const QPoint end = pixelEnd();
    // Neighbouring squares on one row are filled as one run.
    bool open = false;
    long long runFrom = 0;
    long long runTo = 0;
    long long runRow = 0;
    const auto fillRun = [&] {
        painter.fillRect(QRect(static_cast<int>(runFrom + low), static_cast<int>(runRow + low),
                               static_cast<int>(runTo - runFrom + width), width),
                         m_colour);
    };
    Raster::linePath(start.x(), start.y(), end.x(), end.y(), -high, -high,
                     deviceSize.width() - 1 - low, deviceSize.height() - 1 - low,
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

void LineItem::paintVector(QPainter &painter) const {
    const int width = Raster::deviceWidth(m_width, m_start.ratio());
    const double centre = Raster::squareLow(width) + width / 2.0;
    painter.setPen(QPen(m_colour, width, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.drawLine(QPointF(pixelStart()) + QPointF(centre, centre),
                     QPointF(pixelEnd()) + QPointF(centre, centre));
}
