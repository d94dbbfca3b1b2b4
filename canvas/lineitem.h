#pragma once

#include <QColor>
#include <QObject>
#include <QPoint>
#include <QPointF>
#include <QSize>

class LineItem;
class QPainter;

// A container of line items: it maps their end points from its own units to device pixels at
// the moment they are set, keeps their stacking order and repaints them.
class LineHost {
public:
    virtual QPoint lineDevicePixel(QPointF position) const = 0;
    virtual void lineItemChanged(const LineItem *item) = 0;
    virtual void raiseLineItem(LineItem *item) = 0;

protected:
    ~LineHost() = default;
};

// A straight line shown above its container's picture and below its child widgets. It takes no
// pointer events and is never erased by drawing; it moves only when its end points are set. Its
// pixels are those the canvas would paint for a line between the same two pixels (see Raster).
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
    // Keeps the line at its place when its container's device pixels change size by this factor.
    void scalePixels(qreal factor);

    QColor color() const { return m_colour; }
    int width() const { return m_width; }
    // Device pixels of the two ends.
    QPoint pixelStart() const { return m_pixelStart; }
    QPoint pixelEnd() const { return m_pixelEnd; }

    // Paints the line on a device of deviceSize device pixels, deviceRatio of them to a unit of
    // the painter's coordinates.
    void paint(QPainter &painter, QSize deviceSize, qreal deviceRatio) const;

private:
    // The end points are mapped to pixels when they are set, with the container's mapping then.
    void startMoved();
    void endMoved();

    LineHost &m_host;
    QColor m_colour;
    int m_width;
    float m_x1 = 0;
    float m_y1 = 0;
    float m_x2 = 0;
    float m_y2 = 0;
    QPoint m_pixelStart;
    QPoint m_pixelEnd;
};
