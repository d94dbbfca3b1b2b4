#include "analysis/segmentpick.h"

#include "numbers/conversions.h"

namespace SegmentPick {

std::optional<QPoint> cellAt(float x, float y) {
    const float cellX = Conv::Int(x);
    const float cellY = Conv::Int(y);
    if (!(cellX >= 0 && cellY >= 0 && cellX <= 100 && cellY <= 100))
        return std::nullopt;
    return QPoint(static_cast<int>(cellX), static_cast<int>(cellY));
}

} // namespace SegmentPick
