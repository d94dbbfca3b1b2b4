#include "canvas/worldmapping.h"

#include "canvas/raster.h"
#include "canvas/twips.h"

#include <algorithm>
#include <cmath>

WorldMapping::WorldMapping(float left, float top, float width, float height, QSize logicalSize,
                           double ratio)
    : m_left(left), m_top(top), m_width(width), m_height(height), m_logical(logicalSize),
      m_ratio(ratio) {
    m_valid = width != 0.0f && height != 0.0f && std::isfinite(width) && std::isfinite(height) &&
              std::isfinite(left) && std::isfinite(top);
    m_deviceW = static_cast<double>(std::lround(logicalSize.width() * ratio));
    m_deviceH = static_cast<double>(std::lround(logicalSize.height() * ratio));
}

WorldMapping WorldMapping::twips(QSize logicalSize, double ratio) {
    return {0,
            0,
            static_cast<float>(logicalSize.width() * Twips::perPixel),
            static_cast<float>(logicalSize.height() * Twips::perPixel),
            logicalSize,
            ratio};
}

WorldMapping WorldMapping::withRatio(double ratio) const { return on(m_logical, ratio); }

WorldMapping WorldMapping::on(QSize logicalSize, double ratio) const {
    return {m_left, m_top, m_width, m_height, logicalSize, ratio};
}

long long WorldMapping::pixelX(float x) const {
    return Raster::pixelOf((static_cast<double>(x) - m_left) * m_deviceW / m_width);
}

long long WorldMapping::pixelY(float y) const {
    return Raster::pixelOf((static_cast<double>(y) - m_top) * m_deviceH / m_height);
}

QPoint WorldMapping::devicePixel(float x, float y) const {
    if (!m_valid)
        return {};
    return {static_cast<int>(pixelX(x)), static_cast<int>(pixelY(y))};
}

QPoint WorldMapping::childPosition(float left, float top) const {
    static constexpr long long limit = 1 << 20;
    const auto logical = [this](long long device) {
        return static_cast<int>(std::floor(std::clamp(device, -limit, limit) / m_ratio));
    };
    return {logical(pixelX(left)), logical(pixelY(top))};
}

QPointF WorldMapping::toWorld(QPointF logical) const {
    const double w = m_logical.width();
    const double h = m_logical.height();
    const double x = w > 0 ? m_left + logical.x() * m_width / w : m_left;
    const double y = h > 0 ? m_top + logical.y() * m_height / h : m_top;
    return {static_cast<double>(static_cast<float>(x)), static_cast<double>(static_cast<float>(y))};
}
