#include "map/mapaxes.h"

#include <QFontMetricsF>
#include <QPainter>
#include <cmath>

namespace MapAxes {

namespace {

constexpr double tickLength = 4;
constexpr double gap = 3;

double widestNumber(const QFontMetricsF &metrics, std::uint32_t maxLeg) {
    return metrics.horizontalAdvance(QString(QString::number(maxLeg).size(), QLatin1Char('0')));
}

} // namespace

std::uint64_t step(double cellsPerPixel, double minimumPixels) {
    for (std::uint64_t power = 1;; power *= 10) {
        for (const std::uint64_t factor : {1, 2, 5}) {
            if (static_cast<double>(power * factor) / cellsPerPixel >= minimumPixels)
                return power * factor;
        }
        if (power > 1'000'000'000'000)
            return power;
    }
}

QMarginsF room(const QFontMetricsF &metrics, std::uint32_t maxLeg) {
    const double left = widestNumber(metrics, maxLeg) + tickLength + 2 * gap;
    const double below = tickLength + gap + 2 * metrics.height();
    return {left, metrics.height() + gap, metrics.horizontalAdvance(QStringLiteral("00")), below};
}

void paint(QPainter &painter, const QRectF &plot, const MapArea &area, std::uint32_t maxLeg,
           const QString &xName, const QString &yName) {
    if (plot.isEmpty() || area.width() <= 0)
        return;
    painter.save();
    const QFontMetricsF metrics(painter.font());
    const double perPixel = area.width() / plot.width();
    const std::uint64_t every =
        step(perPixel, std::max(widestNumber(metrics, maxLeg) + 3 * metrics.averageCharWidth(),
                                2.5 * metrics.height()));
    painter.setPen(QPen(QColor(90, 90, 90), 0));
    painter.drawRect(plot);
    painter.setPen(QPen(Qt::black, 0));
    const auto first = [&](double low) {
        const double k = std::ceil((low - 0.5) / static_cast<double>(every));
        return static_cast<std::uint64_t>(std::max(1.0, k)) * every;
    };
    const double height = metrics.height();
    const double labels = widestNumber(metrics, maxLeg) + gap;
    const double labelsLeft = plot.left() - tickLength - gap - labels;
    for (std::uint64_t x = first(area.left); x <= maxLeg; x += every) {
        const double at = plot.left() + (x + 0.5 - area.left) / perPixel;
        if (at > plot.right())
            break;
        painter.drawLine(QPointF(at, plot.bottom()), QPointF(at, plot.bottom() + tickLength));
        const QString label = QString::number(x);
        const double width = metrics.horizontalAdvance(label);
        painter.drawText(
            QRectF(at - width / 2 - gap, plot.bottom() + tickLength + gap, width + 2 * gap, height),
            Qt::AlignCenter, label);
    }
    for (std::uint64_t y = first(area.bottom); y <= maxLeg; y += every) {
        const double at = plot.bottom() - (y + 0.5 - area.bottom) / perPixel;
        if (at < plot.top())
            break;
        painter.drawLine(QPointF(plot.left() - tickLength, at), QPointF(plot.left(), at));
        painter.drawText(QRectF(labelsLeft, at - height / 2, labels, height),
                         Qt::AlignRight | Qt::AlignVCenter, QString::number(y));
    }
    QFont italic = painter.font();
    italic.setItalic(true);
    painter.setFont(italic);
    painter.drawText(QPointF(plot.right() - metrics.horizontalAdvance(xName),
                             plot.bottom() + tickLength + gap + height + metrics.ascent()),
                     xName);
    painter.drawText(QPointF(labelsLeft, plot.top() - gap - metrics.descent()), yName);
    painter.restore();
}

} // namespace MapAxes
