#pragma once

class LineItem;

// Two points of the plot's grid, picked with the segment tool: (x1, y1) and (x2, y2).
struct Segment {
    int x1 = 0;
    int y1 = 0;
    int x2 = 0;
    int y2 = 0;
};

// The segment between the centres of its two cells, drawn by one line item in front, and its
// mirror image at the diagonal by another beneath it.
class SegmentLines {
public:
    SegmentLines(LineItem &segment, LineItem &mirror) : m_segment(segment), m_mirror(mirror) {}

    void place(const Segment &points) const;

private:
    LineItem &m_segment;
    LineItem &m_mirror;
};
