#pragma once

#include <QPoint>
#include <QPointF>
#include <QSize>

// The one mapping between a container's world coordinates and its pixels. Drawing, the placing of
// child widgets, line items and pointer reports all go through it, so that things given at the
// same world point meet on the screen.
//
// The world system names the interior's left edge (left), its top edge (top) and its signed
// extent across (width) and down (height). The interior is logicalSize logical pixels, ratio device
// pixels to each. A world point lies at the continuous device position
//     ((x − left) · W / width, (y − top) · H / height),
// W and H being the interior in whole device pixels, multiplied before dividing so that a
// position that is exactly whole stays whole; its device pixel is the floor of that (Raster's
// rule). A world system without extent on an axis, or not finite, maps nothing.
class WorldMapping {
public:
    WorldMapping() = default;
    WorldMapping(float left, float top, float width, float height, QSize logicalSize, double ratio);

    // A container laid out in twips: 15 to a logical pixel, from its top-left corner.
    static WorldMapping twips(QSize logicalSize, double ratio);

    bool valid() const { return m_valid; }
    double ratio() const { return m_ratio; }
    QSize deviceSize() const { return {static_cast<int>(m_deviceW), static_cast<int>(m_deviceH)}; }
    // The same world system on the same interior at another device-pixel ratio, and on an
    // interior of another size.
    WorldMapping withRatio(double ratio) const;
    WorldMapping on(QSize logicalSize, double ratio) const;

    long long pixelX(float x) const;
    long long pixelY(float y) const;
    // How far across, in world units, a distance of so many device pixels reaches.
    double worldAcross(double devicePixels) const { return devicePixels * m_width / m_deviceW; }
    // The device pixel that holds a world point; the origin when nothing is mapped.
    QPoint devicePixel(float x, float y) const;
    // The logical pixel of a child whose top-left corner is the world point: the one that holds
    // the point's device pixel.
    QPoint childPosition(float left, float top) const;

    // The world point of a logical-pixel position as a pointer report gives it (single
    // precision; the corner given by left and top where the interior is empty).
    QPointF toWorld(QPointF logical) const;

private:
    float m_left = 0;
    float m_top = 0;
    float m_width = 1;
    float m_height = 1;
    QSize m_logical;
    double m_ratio = 1;
    double m_deviceW = 0;
    double m_deviceH = 0;
    bool m_valid = false;
};
