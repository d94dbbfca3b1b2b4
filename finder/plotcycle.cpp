#include "finder/plotcycle.h"

#include "canvas/canvas.h"
#include "canvas/colors.h"
#include "numbers/conversions.h"
#include "numbers/solution.h"

using Colors::QBColor;
using Colors::RGB;

void PlotCycle::setWorld() const { m_canvas.Scale(-5, 115, 120, -5); }

// Grey border area and white plot square; together they cover everything drawn before.
void PlotCycle::paintBackground() const {
    m_canvas.FilledBox(-5, -5, 125, 115, RGB(155, 155, 155));
    m_canvas.FilledBox(-5, -5, 105, 105, RGB(255, 255, 255));
}

void PlotCycle::clear() const {
    m_canvas.Cls();
    paintBackground();
}

PlotCycle::Search PlotCycle::search(const QString &deviationText) const {
    paintBackground();
    Canvas &c = m_canvas;
    // Nothing can change the deviation text while the search runs, so it is read once.
    const double d = Conv::Val(deviationText);
    int count = 0;
    for (int x = 1; x <= 100; ++x) {
        c.Line(x, 0, x, 101, RGB(200, 200, 200));
        c.setDrawWidth(1);
        for (int y = 1; y <= 100; ++y) {
            c.Line(0, y, 101, y, RGB(200, 200, 200));
            c.setDrawWidth(1);
            if (!Solution::test(x, y, d).solution)
                continue;
            if (x == y)
                c.setForeColor(QBColor(0));
            else if (x < y)
                c.setForeColor(QBColor(9));
            else
                c.setForeColor(QBColor(12));
            c.FilledBox(x, y, x + 1, y + 1);
            ++count;
        }
    }
    return {d, count};
}
