#include "map/maptriangle.h"

#include <QPainter>
#include <algorithm>

namespace {

// The hatching of the window's preview.
constexpr int hatchLines = 30;

} // namespace

MapTriangle::MapTriangle(QWidget *parent) : QWidget(parent) {
    setMinimumSize(120, 120);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
}

void MapTriangle::setLegs(std::optional<QPoint> legs) {
    m_legs = legs;
    setAccessibleDescription(legs ? QStringLiteral("Rechtwinkliges Dreieck mit den Katheten %1 "
                                                   "und %2")
                                        .arg(legs->x())
                                        .arg(legs->y())
                                  : QString());
    update();
}

void MapTriangle::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    const int side = std::min(width(), height()) - 1;
    const QRectF box(0, 0, side, side);
    painter.fillRect(box, Qt::white);
    painter.setPen(QPen(QColor(160, 160, 160), 0));
    painter.drawRect(box);
    if (!m_legs)
        return;
    const double i = m_legs->x();
    const double j = m_legs->y();
    const double scale = side / (1.4 * std::max(i, j));
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 0));
    painter.scale(scale, scale);
    for (int k = 0; k <= hatchLines; ++k) {
        const double hy = k * (j / hatchLines);
        const double hx = i - k * i / hatchLines;
        painter.drawLine(QPointF(0, hy), QPointF(hx, hy));
    }
    painter.drawLine(QPointF(0, 0), QPointF(i, 0));
    painter.drawLine(QPointF(0, 0), QPointF(0, j));
    painter.drawLine(QPointF(i, 0), QPointF(0, j));
}
