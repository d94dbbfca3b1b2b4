#pragma once

#include "map/mapframe.h"

#include <QPointF>
#include <QSize>
#include <cstdint>
#include <optional>

// Where the map looks: the centre in world coordinates and the scale in cells per logical pixel,
// for a plot area of a given size. It zooms from the whole N × N square down to a cell of
// largestCell pixels, and never lets the square leave the plot.
class MapViewport {
public:
    static constexpr double largestCell = 64;

    // The cells x0..x1 × y0..y1 of 1..N that show at least in part.
    struct Cells {
        std::uint32_t x0 = 1;
        std::uint32_t x1 = 0;
        std::uint32_t y0 = 1;
        std::uint32_t y1 = 0;
        bool empty() const { return x0 > x1 || y0 > y1; }
    };

    void setRange(std::uint32_t maxLeg);
    std::uint32_t maxLeg() const { return m_max; }
    // Keeps the whole square in view on a resize if it was.
    void setSize(QSize pixels);
    QSize size() const { return m_size; }

    void showAll();
    bool showsAll() const { return m_all; }
    // factor > 1 brings closer; the world point under the pixel stays under it.
    void zoom(double factor, QPointF pixel);
    void pan(QPointF pixels);
    void centreOn(QPointF world);
    // Shows the world area, as large as it fits.
    void show(const MapArea &area);
    // The other's centre and scale, within this one's range and size.
    void follow(const MapViewport &other);

    double scale() const { return m_scale; }
    MapArea area() const;
    MapFrame frame(double devicePixelRatio) const;
    QPointF toWorld(QPointF pixel) const;
    QPointF toPixel(QPointF world) const;
    // The cell under a pixel, when it is one of 1..N.
    std::optional<QPoint> cellAt(QPointF pixel) const;
    Cells visibleCells() const;
    bool showsCell(std::uint32_t x, std::uint32_t y) const;

private:
    double wholeScale() const;
    void limit();

    std::uint32_t m_max = 1000;
    QSize m_size{1, 1};
    QPointF m_centre{501, 501};
    double m_scale = 1;
    bool m_all = true;
};
