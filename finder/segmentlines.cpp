#include "finder/segmentlines.h"

#include "canvas/lineitem.h"

void SegmentLines::place(const Segment &p) const {
    m_segment.ZOrder();
    m_segment.setX1(static_cast<float>(p.x1 + 0.5));
    m_segment.setY1(static_cast<float>(p.y1 + 0.5));
    m_segment.setX2(static_cast<float>(p.x2 + 0.5));
    m_segment.setY2(static_cast<float>(p.y2 + 0.5));
    m_mirror.setX1(static_cast<float>(p.y1 + 0.5));
    m_mirror.setY1(static_cast<float>(p.x1 + 0.5));
    m_mirror.setX2(static_cast<float>(p.y2 + 0.5));
    m_mirror.setY2(static_cast<float>(p.x2 + 0.5));
}
