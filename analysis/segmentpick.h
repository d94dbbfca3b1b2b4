#pragma once

#include <QPoint>
#include <optional>

// The grid point a click on the plot picks for the segment tool: the cell under the pointer,
// truncated downwards, within 0..100 on both axes; nothing outside.
namespace SegmentPick {

std::optional<QPoint> cellAt(float x, float y);

} // namespace SegmentPick
