#pragma once

#include <QPointF>

class Canvas;
class SegmentLines;
struct Segment;

// The coordinate frame of the plot, drawn last by either half of the redraw cycle so that it lies
// on top of the marks: axis labels, the grid with every tenth line heavier and its tick boxes, the
// dashed diagonal, the segment lines placed anew, and the quarter circle of the radius. It leaves
// the canvas's ForeColor black and DrawWidth 1, which the search relies on.
class CoordinateFrame {
public:
    CoordinateFrame(Canvas &canvas, const SegmentLines &lines) : m_canvas(canvas), m_lines(lines) {}

    // Draws the frame for a radius of 0..141 and gives the world position where the radius label
    // belongs, at the foot of the circle.
    QPointF draw(int radius, const Segment &segment) const;

private:
    Canvas &m_canvas;
    const SegmentLines &m_lines;
};
