#pragma once

#include "map/familylayer.h"
#include "map/mapraster.h"
#include "map/mapviewport.h"

#include <QElapsedTimer>
#include <QImage>
#include <QPoint>
#include <QRegion>
#include <QTimer>
#include <QWidget>
#include <optional>

class MapStore;

// The plot of the map with its axes: zoom with the wheel and with + and − (at the pointer, or
// the centre), pan by dragging and with the arrow keys, Pos1 for the whole range, a click
// selects a cell, N and Umschalt+N move to the next and previous solution.
//
// As Qt's Mandelbrot example does, it keeps the last picture it drew and shows it shifted or
// scaled at once when the view moves, then draws the exact picture in slices of a few
// milliseconds between events, and only where something changed: the pixels a pan uncovered,
// the columns a new block of the search filled. So a pan or zoom answers at once whatever the
// number of solutions, and the window keeps answering while a picture is drawn.
class MapView : public QWidget {
    Q_OBJECT

public:
    explicit MapView(QWidget *parent = nullptr);

    // The store stays the caller's; a new one is drawn afresh over the picture of the old.
    void setStore(const MapStore *store);
    // The store took the columns firstX..lastX.
    void storeGrew(std::uint32_t firstX, std::uint32_t lastX);

    const MapViewport &viewport() const { return m_viewport; }
    void setRange(std::uint32_t maxLeg);
    void showAll();
    void zoomBy(double factor);
    void panBy(QPointF pixels);
    void show(const MapArea &area);

    std::optional<QPoint> selection() const { return m_selection; }
    // Selects the cell, when it is one of 1..N; nothing clears the selection.
    void select(std::optional<QPoint> cell);
    // The next (step 1) or previous (−1) solution in the search's order from the selection,
    // selected and brought into view; false when there is none.
    bool selectNeighbour(int step);

    // The families drawn over the map: those of the selection, and the faint ones up to K.
    void showFamilies(std::vector<FamilyLayer::Selected> selected);
    void showFaintFamilies(const std::optional<mpz_class> &d, int upToK);
    const FamilyLayer &families() const { return m_families; }
    // Follows the other view's centre and scale, as a pane beside it.
    void follow(const MapView &other);

    // The exact picture of the view is drawn, nothing is left to draw.
    bool pictureComplete() const { return m_dirty.isEmpty(); }
    // The plot's rectangle within the widget.
    QRect plotRect() const;

signals:
    void viewChanged();
    void hovered(std::optional<QPoint> cell);
    void selectionChanged(std::optional<QPoint> cell);
    void pictureDrawn();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void moved();
    void redrawAll();
    void drawSlice();
    void paintSelection(QPainter &painter, const QRect &plot) const;
    QPointF plotPoint(QPointF widgetPoint) const;

    const MapStore *m_store = nullptr;
    MapViewport m_viewport;
    MapRaster m_raster;
    FamilyLayer m_families;
    QImage m_image;
    MapFrame m_imageFrame;
    QRegion m_dirty; // in the image's pixels
    QTimer m_slice;
    std::optional<QPoint> m_selection;
    std::optional<QPointF> m_pressed;
    QPointF m_lastDrag;
    bool m_dragged = false;
};
