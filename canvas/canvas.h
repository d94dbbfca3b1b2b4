#pragma once

#include "canvas/glyphcache.h"
#include "canvas/lineitem.h"
#include "canvas/raster.h"

#include <QImage>
#include <QList>
#include <QWidget>

// A drawing surface with a world coordinate system of its own and a persistent image.
//
// Every drawing operation paints straight into the image, which paintEvent shows; nothing is
// queued. Coordinates are single-precision world units. The world system maps the interior's
// left edge to scaleLeft, its top edge to scaleTop, and spans scaleWidth across and scaleHeight
// down (a negative scaleHeight makes y grow upward). A world system without extent on either
// axis maps nothing: drawing is then skipped and pointer positions report the world origin
// corner. Pixel rules are those of Raster (canvas/raster.h); child widgets and line items are
// placed on the same pixels as the drawing. The image has the device resolution of the screen,
// and drawing widths scale with it.
class Canvas : public QWidget, public LineHost {
    Q_OBJECT

public:
    explicit Canvas(QWidget *parent = nullptr);

    // World system: corner 1 becomes the top-left corner, corner 2 the bottom-right corner.
    void Scale(float x1, float y1, float x2, float y2);
    float scaleLeft() const { return m_scaleLeft; }
    float scaleTop() const { return m_scaleTop; }
    float scaleWidth() const { return m_scaleWidth; }
    float scaleHeight() const { return m_scaleHeight; }

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

    QRgb foreColor() const { return m_foreColor; }
    void setForeColor(QRgb colour) { m_foreColor = colour; }
    QRgb backColor() const { return m_backColor; }
    void setBackColor(QRgb colour);
    int drawWidth() const { return m_drawWidth; }
    void setDrawWidth(int width) { m_drawWidth = width < 1 ? 1 : width; }
    float currentX() const { return m_currentX; }
    float currentY() const { return m_currentY; }
    void setCurrentX(float x) { m_currentX = x; }
    void setCurrentY(float y) { m_currentY = y; }

    // Outer height in twips (15 twips to a logical pixel); the mapping follows at once.
    void setHeightTwips(int twips);

    // Continuous logical-pixel position of a world point, and the world point of a logical-pixel
    // position (as pointer reports give it).
    QPointF worldToPixel(QPointF world) const;
    QPointF pixelToWorld(QPointF pixel) const;
    // Device pixel of the image that holds a world point.
    QPoint devicePixelOf(float x, float y) const;

    // Moves a child widget so that its top-left corner lies on the pixel of (left, top).
    void placeChild(QWidget *child, float left, float top);
    QPointF childPosition(const QWidget *child) const;

    // A line item shown above the image; the canvas owns it.
    LineItem *createLineItem(const QString &name, QColor colour, int width);
    const QList<LineItem *> &lineItems() const { return m_lines; }
    // Puts a child widget into the layer of the line items, above those created so far and below
    // those created later or brought to the front since; the child widgets created after it lie
    // above the whole layer. One widget at most.
    void shareLineLayer(QWidget *child);

    const QImage &image() const { return m_image; }
    // The picture as the canvas shows it, at the image's own resolution: the image, the line
    // items above it, and the given widgets above those, each drawn at its logical-pixel position
    // in the canvas over what lies beneath it (no background of its own beyond what it paints).
    struct Overlay {
        QWidget *widget = nullptr;
        QPoint position;
    };
    QImage composedImage(const QList<Overlay> &overlays) const;
    // For tests: repaint every span in full instead of only its damaged columns.
    void setSpanMemory(bool on) { m_raster.setSpanMemory(on); }

    QPoint lineDevicePixel(QPointF position) const override;
    void lineItemChanged(const LineItem *item) override;
    void raiseLineItem(LineItem *item) override;

signals:
    // Button codes: 1 left, 2 right, 4 middle (held buttons or'ed together for moves);
    // shift codes: 1 Shift, 2 Ctrl, 4 Alt. Positions are world coordinates.
    void mouseDown(int button, int shift, float x, float y);
    void mouseMove(int button, int shift, float x, float y);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    void syncImage();
    void scheduleRepaint();
    void updateMapping();
    bool canDraw() const { return m_mapped && !m_image.isNull(); }
    long long devX(float x) const;
    long long devY(float y) const;
    int deviceWidth() const;
    void drawLine(float x1, float y1, float x2, float y2, QRgb colour);
    void drawBox(float x1, float y1, float x2, float y2, QRgb colour);
    // Paints the line items from..to - 1, back to front.
    void paintLineItems(QPainter &painter, qsizetype from, qsizetype to) const;
    // How many line items lie below the widget sharing their layer (all of them without one).
    qsizetype linesBelowShared() const;
    void updateLineLayer();

    QImage m_image;
    qreal m_dpr = 1.0;
    float m_scaleLeft = 0;
    float m_scaleTop = 0;
    float m_scaleWidth = 1;
    float m_scaleHeight = 1;
    bool m_mapped = false;
    double m_deviceW = 0; // interior size in device pixels
    double m_deviceH = 0;
    float m_currentX = 0;
    float m_currentY = 0;
    QRgb m_foreColor = qRgb(0, 0, 0);
    QRgb m_backColor = qRgb(255, 255, 255);
    int m_drawWidth = 1;
    bool m_customScale = false;
    bool m_repaintPending = false;
    GlyphCache m_glyphs;
    Raster m_raster;
    QList<LineItem *> m_lines;
    // With a widget sharing the line items' layer: how many line items lie below it, and the
    // transparent child that shows the ones above it.
    qsizetype m_linesBelowShared = 0;
    QWidget *m_upperLines = nullptr;
};
