#pragma once

#include "results/failure.h"
#include "results/pictureformat.h"

#include "canvas/scene.h"
#include "window/textbox.h"

#include <QByteArray>
#include <QPicture>
#include <QRectF>
#include <QString>
#include <optional>

class Canvas;
class QLineEdit;
class QPainter;

// The plot as it leaves the window: what the canvas shows without the pointer's preview box,
// that is its drawing, the segment lines and the radius label at the foot of the circle, the
// label drawn as it looks without the focus (no caret, no selection, no focus frame). One scene
// serves every form: pixels by the canvas's own raster rule for PNG and the clipboard, vectors and
// real text for SVG, PDF and the printer.
class PlotPicture {
public:
    using Format = PictureFormat::Kind;

    // The canvas and the radius label that stands on it.
    PlotPicture(const Canvas &canvas, const QLineEdit &radiusLabel);

    // A plot squeezed to no height is empty, and nothing can be made of it.
    bool isEmpty() const;
    // In logical pixels (the page of a PDF has as many points).
    QSize size() const;

    // The picture in device pixels, with the canvas's device-pixel ratio.
    QImage image() const;
    // A file's whole content in the format, into bytes; fails for an empty picture and where the
    // encoder fails, leaving bytes empty.
    Failure encode(Format format, QByteArray &bytes) const;
    // Paints the picture as vectors and text, scaled into the target rectangle of the painter's
    // coordinates with its proportions kept, centred.
    void paint(QPainter &painter, const QRectF &target) const;

private:
    Scene scene() const;
    QPicture vectors() const;

    const Canvas &m_canvas;
    mutable TextBox m_label; // rendering draws it, which Qt counts as a change
    QPoint m_labelPosition;
};
