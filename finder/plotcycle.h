#pragma once

#include <QString>

class Canvas;

// The two halves of the plot's redraw cycle, without the coordinate frame that follows each of
// them: clear (a cleared canvas with the grey border area and the white plot square) and search
// (the background again, a light grid pass and a mark for every solution among the legs 1..100).
class PlotCycle {
public:
    explicit PlotCycle(Canvas &canvas) : m_canvas(canvas) {}

    // The plot's world system: x from −5 at the left edge to 120, y from 115 at the top to −5.
    void setWorld() const;
    void clear() const;

    struct Search {
        double deviation = 0; // as the deviation text reads
        int count = 0;        // the marks painted
    };
    // Marks every pair (x, y) in 1..100 whose x² + y² − d is a non-negative perfect square: blue
    // above the diagonal, red below it, black on it.
    Search search(const QString &deviationText) const;

private:
    void paintBackground() const;

    Canvas &m_canvas;
};
