#pragma once

#include "map/mapframe.h"

#include <QMargins>
#include <QRectF>
#include <QString>
#include <cstdint>

class QFontMetricsF;
class QPainter;

// The frame around the plot with numbered ticks at round numbers of legs (1, 2 or 5 × 10^k)
// that follow the zoom, the same on the screen and in every picture. A tick stands at the middle
// of its cell.
namespace MapAxes {

// The least step of 1, 2 or 5 × 10^k cells whose ticks lie at least minimumPixels apart.
std::uint64_t step(double cellsPerPixel, double minimumPixels);

// The room the numbers and names need beside the plot: left, and below.
QMarginsF room(const QFontMetricsF &metrics, std::uint32_t maxLeg);

void paint(QPainter &painter, const QRectF &plot, const MapArea &area, std::uint32_t maxLeg,
           const QString &xName, const QString &yName);

} // namespace MapAxes
