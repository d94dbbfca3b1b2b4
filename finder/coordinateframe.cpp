#include "finder/coordinateframe.h"

#include "canvas/canvas.h"
#include "canvas/colors.h"
#include "finder/segmentlines.h"
#include "numbers/conversions.h"

#include <cmath>

using Colors::QBColor;
using Colors::RGB;

QPointF CoordinateFrame::draw(int radius, const Segment &segment) const {
    Canvas &c = m_canvas;
    c.setForeColor(QBColor(0));
    const auto labelled = [](int i) {
        const double q = (i - 1) / 10.0;
        return q == Conv::Int(q);
    };
    for (int i = 1; i <= 101; ++i) {
        c.setCurrentX(static_cast<float>(i - 2));
        c.setCurrentY(-1);
        if (labelled(i)) {
            c.Print(i - 1);
            c.setDrawWidth(2);
        }
        c.Line(i, 0, i, 101, RGB(220, 220, 220));
        c.setDrawWidth(1);
    }
    for (int j = 1; j <= 101; ++j) {
        c.setCurrentX(-4);
        c.setCurrentY(static_cast<float>(j + 1));
        if (labelled(j)) {
            c.Print(j - 1);
            c.setDrawWidth(2);
            c.FilledBox(j - 1, -1, j, 0);
        }
        c.Line(0, j, 101, j, RGB(220, 220, 220));
        c.setDrawWidth(1);
    }
    c.setDrawWidth(1);
    for (int i = 1; i <= 99; i += 2) {
        c.Line(i, i, i + 1, i + 1, RGB(100, 100, 100));
        c.PSet(i + 1.5f, i + 1.5f);
    }
    c.setDrawWidth(1);
    m_lines.place(segment);

    const double k = (3.1415 / 2) / 300;
    for (int t = 1; t <= 300; ++t) {
        const double a = t * k;
        const auto x = static_cast<float>((radius + 0.5) * std::cos(a));
        const auto y = static_cast<float>((radius + 0.5) * std::sin(a));
        c.PSet(x, y);
    }
    return {static_cast<float>(radius - 2), 1};
}
