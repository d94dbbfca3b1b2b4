#pragma once

#include <QImage>
#include <QList>
#include <QPoint>
#include <QSize>
#include <QWidget>

class DrawingRecord;
class LineItem;
class QPainter;

// A picture as its layers, back to front: a canvas's drawing, then line items and widgets in their
// stacking order. The window, a saved image, a vector file and the printer all paint a scene, so
// every output shows the same picture.
//
// The scene is logicalSize logical pixels at ratio device pixels each; the drawing and the line
// items are in those device pixels. Painted by the raster rule, the drawing is the canvas's image
// and the line items are the pixels the raster rule gives them, so on a device of the scene's own
// ratio every pixel is the one the canvas drew. Painted as vectors, the drawing is its record
// (boxes, lines, text) and the line items are strokes, for any device and any scale.
class Scene {
public:
    enum class Output { Raster, Vector };

    Scene(QSize logicalSize, double ratio);

    QSize logicalSize() const { return m_logical; }
    double ratio() const { return m_ratio; }
    QSize deviceSize() const { return m_device; }

    // The drawing at the bottom: its image for raster output, its record for vector output.
    void setDrawing(const QImage *image, const DrawingRecord *record);
    void addLine(const LineItem &line);
    // A widget as it paints itself, with its top-left corner at the logical position.
    void addWidget(QWidget &widget, QPoint position,
                   QWidget::RenderFlags flags = QWidget::DrawChildren);

    // Paints the scene on a painter whose units are the scene's logical pixels.
    void paint(QPainter &painter, Output output) const;
    // The scene by the raster rule, in device pixels (empty when the scene is).
    QImage toImage() const;

private:
    struct Layer {
        const LineItem *line = nullptr;
        QWidget *widget = nullptr;
        QPoint position;
        QWidget::RenderFlags flags;
    };

    QSize m_logical;
    double m_ratio;
    QSize m_device;
    const QImage *m_image = nullptr;
    const DrawingRecord *m_record = nullptr;
    QList<Layer> m_layers;
};
