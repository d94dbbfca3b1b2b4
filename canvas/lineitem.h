#pragma once

#include "canvas/worldmapping.h"

#include <QColor>
#include <QObject>
#include <QPoint>
#include <QPointF>
#include <QSize>

class LineItem;
class QPainter;

// A container of line items: it gives the mapping of its own units to device pixels, keeps their
// stacking order and repaints them.
class LineHost {
public:
    virtual WorldMapping lineMapping() const = 0;
    virtual void lineItemChanged(const LineItem *item) = 0;
    virtual void raiseLineItem(LineItem *item) = 0;

protected:
    ~LineHost() = default;
};

// A straight line shown above its container's picture and below its child widgets. It takes no
// pointer events and is never erased by drawing; it moves only when its end points are set. Each
// end keeps the container's mapping of the moment it was set, so that it stays at its pixel when
// the container's world system or size changes. Its pixels are those the canvas would paint for
// a line between the same two pixels (see Raster).
class LineItem : public QObject {
    Q_OBJECT

public:
    LineItem(const QString &name, LineHost &host, QObject *parent, QColor colour, int width);

    float x1() const { return m_x1; }
    float y1() const { return m_y1; }
    float x2() const { return m_x2; }
    float y2() const { return m_y2; }
    void setX1(float value);
    void setY1(float value);
    void setX2(float value);
    void setY2(float value);

    // Brings the line to the front of its container's line items.
    void ZOrder();
    // The container's device pixels changed size: the ends keep their places, at the new ratio.
    void setDeviceRatio(double ratio);

    QColor color() const { return m_colour; }
    // Device pixels of the two ends.
    QPoint pixelStart() const { return m_start.devicePixel(m_x1, m_y1); }
    QPoint pixelEnd() const { return m_end.devicePixel(m_x2, m_y2); }

    // Paints the line on a painter whose units are the container's device pixels, clipped to a
    // device of deviceSize: its pixels as the raster rule gives them, or as one vector stroke.
    void paintPixels(QPainter &painter, QSize deviceSize) const;
    void paintVector(QPainter &painter) const;

private:
    void startMoved();
    void endMoved();

    LineHost &m_host;
    QColor m_colour;
    int m_width;
    float m_x1 = 0;
    float m_y1 = 0;
    float m_x2 = 0;
    float m_y2 = 0;
    WorldMapping m_start;
    WorldMapping m_end;
};
