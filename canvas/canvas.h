#pragma once

#include "canvas/drawingrecord.h"
#include "canvas/glyphcache.h"
#include "canvas/lineitem.h"
#include "canvas/raster.h"
#include "canvas/scene.h"
#include "canvas/worldmapping.h"

#include <QImage>
#include <QList>
#include <QPointer>
#include <QWidget>

// A drawing surface with a world coordinate system of its own and a persistent image.
//
// Every drawing operation paints straight into the image, which paintEvent shows, and is kept in
// the canvas's drawing record (canvas/drawingrecord.h); nothing is queued. Coordinates are
// single-precision world units. The world system maps the interior's left edge to scaleLeft, its
// top edge to scaleTop, and spans scaleWidth across and scaleHeight down (a negative scaleHeight
// makes y grow upward). A world system without extent on either axis maps nothing: drawing is
// then skipped and pointer positions report the world origin corner. Drawing, child widgets, line
// items and pointer reports share one mapping (canvas/worldmapping.h) and the pixel rules of
// Raster (canvas/raster.h). The image has the device resolution of the screen, and drawing widths
// scale with it.
class Canvas : public QWidget, public LineHost {
    Q_OBJECT

public:
    explicit Canvas(QWidget *parent = nullptr);

    // World system: corner 1 becomes the top-left corner, corner 2 the bottom-right corner.
    void Scale(float x1, float y1, float x2, float y2);

    // Fills the image with the background colour and resets the current point.
    void Cls();
    void Line(float x1, float y1, float x2, float y2);
    void Line(float x1, float y1, float x2, float y2, QRgb colour);
    void FilledBox(float x1, float y1, float x2, float y2);
    void FilledBox(float x1, float y1, float x2, float y2, QRgb colour);
    void PSet(float x, float y);
    // Prints the number's text and one blank, transparently, with the top-left corner of the line
    // box at the current point.
    void Print(double number);

    void setForeColor(QRgb colour) { m_foreColor = colour; }
    void setBackColor(QRgb colour);
    void setDrawWidth(int width) { m_drawWidth = width < 1 ? 1 : width; }
    void setCurrentX(float x) { m_currentX = x; }
    void setCurrentY(float y) { m_currentY = y; }

    // Outer height in twips (15 twips to a logical pixel); the mapping follows at once.
    void setHeightTwips(int twips);

    // The world point of a logical-pixel position, as pointer reports give it.
    QPointF pixelToWorld(QPointF pixel) const { return m_mapping.toWorld(pixel); }

    // Moves a child widget so that its top-left corner lies on the pixel of (left, top).
    void placeChild(QWidget *child, float left, float top);

    // A line item shown above the image; the canvas owns it.
    LineItem *createLineItem(const QString &name, QColor colour, int width);
    const QList<LineItem *> &lineItems() const { return m_lines; }
    // Puts a child widget into the layer of the line items, above those created so far and below
    // those created later or brought to the front since; the child widgets created after it lie
    // above the whole layer. The canvas paints it there itself, with its window background. One
    // widget at most.
    void shareLineLayer(QWidget *child);

    const QImage &image() const { return m_image; }
    const DrawingRecord &record() const { return m_record; }
    // What the canvas shows of its own: the drawing and every line item above it, in their order.
    Scene scene() const;

    WorldMapping lineMapping() const override { return m_mapping; }
    void lineItemChanged(const LineItem *item) override;
    void raiseLineItem(LineItem *item) override;

signals:
    // Button codes: 1 left, 2 right, 4 middle (held buttons or'ed together for moves);
    // shift codes: 1 Shift, 2 Ctrl, 4 Alt. Positions are world coordinates.
    void mouseDown(int button, int shift, float x, float y);
    void mouseMove(int button, int shift, float x, float y);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    void syncImage();
    void scheduleRepaint();
    void updateMapping();
    bool canDraw() const { return m_mapping.valid() && !m_image.isNull(); }
    // The drawing and the line items, with the widget sharing their layer among them or not.
    Scene layers(bool withSharedWidget) const;
    int deviceWidth() const;
    // Paints the operation the record took last into the image.
    void paintLast();
    void drawLine(float x1, float y1, float x2, float y2, QRgb colour);
    void drawBox(float x1, float y1, float x2, float y2, QRgb colour);

    QImage m_image;
    qreal m_dpr = 1.0;
    WorldMapping m_mapping;
    float m_currentX = 0;
    float m_currentY = 0;
    QRgb m_foreColor = qRgb(0, 0, 0);
    QRgb m_backColor = qRgb(255, 255, 255);
    int m_drawWidth = 1;
    bool m_customScale = false;
    bool m_repaintPending = false;
    DrawingRecord m_record;
    GlyphCache m_glyphs;
    Raster m_raster;
    QList<LineItem *> m_lines;
    // The widget sharing the line items' layer, how many line items lie below it, and whether the
    // canvas is painting it just now (it paints nothing on its own).
    QPointer<QWidget> m_shared;
    qsizetype m_linesBelowShared = 0;
    bool m_paintingShared = false;
};
