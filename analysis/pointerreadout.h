#pragma once

#include <QString>

class Canvas;

// The readout beside the pointer over the plot: the right triangle on the legs of the cell under
// the pointer, drawn into the small preview canvas, and the cell's coordinates or, for a solution,
// its equation.
class PointerReadout {
public:
    explicit PointerReadout(Canvas &preview) : m_preview(preview) {}

    // Beyond the plot square (and its one-cell margin) the readout is hidden.
    static bool outside(float x, float y) { return x > 102 || y > 102 || x < 0 || y < 0; }

    // Draws the triangle of the cell under the world point (x, y) for the deviation text and gives
    // the text to show with it. No triangle for a cell whose x² + y² − d is negative.
    QString show(float x, float y, const QString &deviationText) const;

private:
    Canvas &m_preview;
};
