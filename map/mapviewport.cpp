#include "map/mapviewport.h"

#include <QPoint>
#include <algorithm>
#include <cmath>

void MapViewport::setRange(std::uint32_t maxLeg) {
    m_max = std::max<std::uint32_t>(maxLeg, 1);
    showAll();
}

void MapViewport::setSize(QSize pixels) {
    m_size = pixels.expandedTo(QSize(1, 1));
    if (m_all)
        showAll();
    else
        limit();
}

double MapViewport::wholeScale() const {
    return m_max / static_cast<double>(std::min(m_size.width(), m_size.height()));
}

void MapViewport::showAll() {
    m_centre = QPointF(1 + m_max / 2.0, 1 + m_max / 2.0);
    m_scale = wholeScale();
    m_all = true;
}

void MapViewport::zoom(double factor, QPointF pixel) {
    const QPointF fixed = toWorld(pixel);
    m_scale /= factor;
    m_all = false;
    limit();
    // The point under the pixel stays there, as far as the limits allow.
    m_centre += fixed - toWorld(pixel);
    limit();
}

void MapViewport::pan(QPointF pixels) {
    m_centre += QPointF(-pixels.x(), pixels.y()) * m_scale;
    m_all = false;
    limit();
}

void MapViewport::centreOn(QPointF world) {
    m_centre = world;
    m_all = false;
    limit();
}

void MapViewport::show(const MapArea &area) {
    m_scale = std::max(area.width() / m_size.width(), area.height() / m_size.height());
    m_centre = QPointF((area.left + area.right) / 2, (area.bottom + area.top) / 2);
    m_all = false;
    limit();
}

void MapViewport::follow(const MapViewport &other) {
    m_centre = other.m_centre;
    m_scale = other.m_scale;
    m_all = other.m_all;
    if (m_all)
        showAll();
    else
        limit();
}

void MapViewport::limit() {
    const double whole = wholeScale();
    m_scale =
        std::clamp(m_scale, std::min(whole, 1 / largestCell), std::max(whole, 1 / largestCell));
    // Some of the square stays in view: the centre does not leave it.
    const double low = 1;
    const double high = m_max + 1.0;
    m_centre.setX(std::clamp(m_centre.x(), low, high));
    m_centre.setY(std::clamp(m_centre.y(), low, high));
    if (m_scale >= whole * (1 - 1e-12)) {
        m_scale = whole;
        m_centre = QPointF(1 + m_max / 2.0, 1 + m_max / 2.0);
        m_all = true;
    }
}

MapArea MapViewport::area() const {
    const double halfWidth = m_size.width() * m_scale / 2;
    const double halfHeight = m_size.height() * m_scale / 2;
    return {m_centre.x() - halfWidth, m_centre.x() + halfWidth, m_centre.y() - halfHeight,
            m_centre.y() + halfHeight};
}

MapFrame MapViewport::frame(double devicePixelRatio) const {
    const MapArea shown = area();
    const int width = std::max(1, static_cast<int>(std::lround(m_size.width() * devicePixelRatio)));
    const int height =
        std::max(1, static_cast<int>(std::lround(m_size.height() * devicePixelRatio)));
    return {shown.left, shown.top, m_scale / devicePixelRatio, width, height};
}

QPointF MapViewport::toWorld(QPointF pixel) const {
    const MapArea shown = area();
    return {shown.left + pixel.x() * m_scale, shown.top - pixel.y() * m_scale};
}

QPointF MapViewport::toPixel(QPointF world) const {
    const MapArea shown = area();
    return {(world.x() - shown.left) / m_scale, (shown.top - world.y()) / m_scale};
}

std::optional<QPoint> MapViewport::cellAt(QPointF pixel) const {
    const QPointF world = toWorld(pixel);
    const double x = std::floor(world.x());
    const double y = std::floor(world.y());
    if (x < 1 || y < 1 || x > m_max || y > m_max)
        return std::nullopt;
    return QPoint(static_cast<int>(x), static_cast<int>(y));
}

MapViewport::Cells MapViewport::visibleCells() const {
    const MapArea shown = area();
    const auto leg = [this](double value) {
        return static_cast<std::uint32_t>(std::clamp(value, 0.0, m_max + 1.0));
    };
    Cells cells;
    cells.x0 = std::max<std::uint32_t>(1, leg(std::floor(shown.left)));
    cells.x1 = std::min(m_max, leg(std::ceil(shown.right) - 1));
    cells.y0 = std::max<std::uint32_t>(1, leg(std::floor(shown.bottom)));
    cells.y1 = std::min(m_max, leg(std::ceil(shown.top) - 1));
    return cells;
}

bool MapViewport::showsCell(std::uint32_t x, std::uint32_t y) const {
    const MapArea shown = area();
    return x >= shown.left && x + 1.0 <= shown.right && y >= shown.bottom && y + 1.0 <= shown.top;
}
