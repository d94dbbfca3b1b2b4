#include "canvas/lineitem.h"

#include <QPainter>
#include <QPen>

LineItem::LineItem(const QString &name, LineHost &host, QObject *parent, QColor colour, int width)
    : QObject(parent), m_host(host), m_colour(colour), m_width(width) {
    setObjectName(name);
}

void LineItem::startMoved() {
    m_pixelStart = m_host.linePixel(QPointF(m_x1, m_y1));
    m_host.lineItemChanged(this);
}

void LineItem::endMoved() {
    m_pixelEnd = m_host.linePixel(QPointF(m_x2, m_y2));
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

void LineItem::paint(QPainter &painter) const {
    QPen pen(m_colour, m_width, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
    painter.setPen(pen);
    if (m_pixelStart == m_pixelEnd)
        painter.drawPoint(m_pixelStart);
    else
        painter.drawLine(m_pixelStart, m_pixelEnd);
}
