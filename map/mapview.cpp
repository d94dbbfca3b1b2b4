#include "map/mapview.h"

#include "map/mapaxes.h"
#include "map/mapstore.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <cmath>

namespace {

// A slice of drawing between events, and the width of the pieces it draws, in device pixels.
constexpr int sliceMs = 6;
constexpr int pieceWidth = 64;
constexpr double keyZoom = 1.4142135623730951;
constexpr double wheelZoom = 1.25;
// A pan by a key moves an eighth of the plot.
constexpr int keyPanParts = 8;

} // namespace

MapView::MapView(QWidget *parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setMinimumSize(260, 220);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAccessibleName(QStringLiteral("Karte"));
    m_slice.setSingleShot(true);
    m_slice.setInterval(0);
    connect(&m_slice, &QTimer::timeout, this, &MapView::drawSlice);
}

QRect MapView::plotRect() const {
    const QMarginsF room = MapAxes::room(QFontMetricsF(font()), m_viewport.maxLeg());
    const auto whole = [](double value) { return static_cast<int>(std::ceil(value)) + 4; };
    return rect().marginsRemoved(
        QMargins(whole(room.left()), whole(room.top()), whole(room.right()), whole(room.bottom())));
}

void MapView::setStore(const MapStore *store) {
    m_store = store;
    redrawAll();
}

void MapView::storeGrew(std::uint32_t firstX, std::uint32_t lastX) {
    if (m_image.isNull() || !m_store)
        return;
    // The cells of the level the pixels are drawn from reach out of the new columns by their
    // width.
    const MapGrid &grid = m_store->grid();
    double reach = 1;
    for (int level = 0; level < grid.levels() && grid.width(level) <= m_imageFrame.scale; ++level)
        reach = grid.width(level);
    const int p0 =
        MapRaster::firstPixelFrom(firstX - reach, m_imageFrame.left, m_imageFrame.scale) - 1;
    const int p1 =
        MapRaster::firstPixelFrom(lastX + 1 + reach, m_imageFrame.left, m_imageFrame.scale) + 1;
    const QRect columns = QRect(p0, 0, p1 - p0, m_image.height()).intersected(m_image.rect());
    if (columns.isEmpty())
        return;
    m_dirty += columns;
    m_slice.start();
}

void MapView::redrawAll() {
    if (m_image.isNull())
        return;
    m_dirty = QRegion(m_image.rect());
    m_slice.start();
}

void MapView::showFamilies(std::vector<FamilyLayer::Selected> selected) {
    m_families.setSelected(std::move(selected));
    update();
}

void MapView::showFaintFamilies(const std::optional<mpz_class> &d, int upToK) {
    m_families.setFaint(d, upToK);
    update();
}

void MapView::follow(const MapView &other) {
    m_viewport.follow(other.m_viewport);
    moved();
}

void MapView::setRange(std::uint32_t maxLeg) {
    m_families.setMaxLeg(maxLeg);
    m_viewport.setRange(maxLeg);
    // The axes' numbers may need more room.
    m_viewport.setSize(plotRect().size());
    if (m_selection && (static_cast<std::uint32_t>(m_selection->x()) > maxLeg ||
                        static_cast<std::uint32_t>(m_selection->y()) > maxLeg))
        select(std::nullopt);
    moved();
}

void MapView::showAll() {
    m_viewport.showAll();
    moved();
}

void MapView::zoomBy(double factor) {
    m_viewport.zoom(factor, QPointF(m_viewport.size().width(), m_viewport.size().height()) / 2);
    moved();
}

void MapView::panBy(QPointF pixels) {
    m_viewport.pan(pixels);
    moved();
}

void MapView::show(const MapArea &area) {
    m_viewport.show(area);
    moved();
}

// The picture follows the view at once: shifted where the view moved by whole pixels, so that
// only what it uncovered is drawn anew, or scaled from the last one until the exact one is drawn.
void MapView::moved() {
    const double ratio = devicePixelRatioF();
    const MapFrame frame = m_viewport.frame(ratio);
    const QImage last = m_image;
    const MapFrame lastFrame = m_imageFrame;
    if (last.width() != frame.width || last.height() != frame.height)
        m_image = QImage(frame.width, frame.height, QImage::Format_RGB32);
    m_image.setDevicePixelRatio(1);
    m_imageFrame = frame;
    const QRect whole = m_image.rect();
    if (last.isNull()) {
        m_image.fill(MapRaster::outside);
        m_dirty = whole;
    } else if (lastFrame.scale == frame.scale) {
        const double dx = (lastFrame.left - frame.left) / frame.scale;
        const double dy = (frame.top - lastFrame.top) / frame.scale;
        const QPoint shift(static_cast<int>(std::lround(dx)), static_cast<int>(std::lround(dy)));
        const bool wholePixels = std::abs(dx - shift.x()) < 1e-6 && std::abs(dy - shift.y()) < 1e-6;
        QImage shifted(m_image.size(), QImage::Format_RGB32);
        shifted.fill(MapRaster::outside);
        QPainter painter(&shifted);
        painter.drawImage(shift, last);
        painter.end();
        m_image = shifted;
        if (wholePixels) {
            m_dirty.translate(shift);
            m_dirty += QRegion(whole) - QRegion(last.rect().translated(shift));
            m_dirty &= QRegion(whole);
        } else {
            m_dirty = whole;
        }
    } else {
        QImage scaled(m_image.size(), QImage::Format_RGB32);
        scaled.fill(MapRaster::outside);
        QPainter painter(&scaled);
        const double factor = lastFrame.scale / frame.scale;
        painter.drawImage(QRectF((lastFrame.left - frame.left) / frame.scale,
                                 (frame.top - lastFrame.top) / frame.scale, last.width() * factor,
                                 last.height() * factor),
                          last);
        painter.end();
        m_image = scaled;
        m_dirty = whole;
    }
    update();
    if (!m_dirty.isEmpty())
        m_slice.start();
    emit viewChanged();
}

void MapView::drawSlice() {
    if (!m_store || m_image.isNull()) {
        m_dirty = QRegion();
        return;
    }
    QElapsedTimer clock;
    clock.start();
    const double ratio = devicePixelRatioF();
    const QPoint origin = plotRect().topLeft();
    while (!m_dirty.isEmpty() && clock.elapsed() < sliceMs) {
        const QRect next = *m_dirty.begin();
        const QRect piece(next.left(), next.top(), std::min(next.width(), pieceWidth),
                          next.height());
        m_raster.draw(*m_store, m_imageFrame, m_image, piece);
        m_dirty -= piece;
        update(QRectF(piece.left() / ratio, piece.top() / ratio, piece.width() / ratio,
                      piece.height() / ratio)
                   .toAlignedRect()
                   .adjusted(-1, -1, 1, 1)
                   .translated(origin));
    }
    if (!m_dirty.isEmpty())
        m_slice.start();
    else
        emit pictureDrawn();
}

void MapView::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    const QRect plot = plotRect();
    if (!m_image.isNull()) {
        QImage shown = m_image;
        shown.setDevicePixelRatio(devicePixelRatioF());
        painter.drawImage(plot.topLeft(), shown);
    }
    m_families.paint(painter, QRectF(plot.topLeft(), QSizeF(m_viewport.size())), m_viewport.area());
    painter.setPen(palette().color(QPalette::WindowText));
    MapAxes::paint(painter, QRectF(plot), m_viewport.area(), m_viewport.maxLeg(),
                   QStringLiteral("x"), QStringLiteral("y"));
    paintSelection(painter, plot);
    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = plot.adjusted(-3, -3, 3, 3);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}

// A frame around the selected cell, or rings around it where it is smaller than the frame.
void MapView::paintSelection(QPainter &painter, const QRect &plot) const {
    if (!m_selection)
        return;
    const QPointF topLeft =
        m_viewport.toPixel(QPointF(m_selection->x(), m_selection->y() + 1.0)) + plot.topLeft();
    const QPointF bottomRight =
        m_viewport.toPixel(QPointF(m_selection->x() + 1.0, m_selection->y())) + plot.topLeft();
    const QRectF cell(topLeft, bottomRight);
    painter.save();
    painter.setClipRect(plot);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::NoBrush);
    const QColor mark(255, 140, 0);
    if (cell.width() >= 8) {
        painter.setPen(QPen(Qt::black, 4));
        painter.drawRect(cell.adjusted(-2, -2, 2, 2));
        painter.setPen(QPen(mark, 2));
        painter.drawRect(cell.adjusted(-2, -2, 2, 2));
    } else {
        const QPointF centre = cell.center();
        painter.setPen(QPen(Qt::black, 4));
        painter.drawEllipse(centre, 8, 8);
        painter.setPen(QPen(mark, 2));
        painter.drawEllipse(centre, 8, 8);
    }
    painter.restore();
}

void MapView::resizeEvent(QResizeEvent *) {
    m_viewport.setSize(plotRect().size());
    moved();
}

void MapView::changeEvent(QEvent *event) {
    if (event->type() == QEvent::FontChange) {
        m_viewport.setSize(plotRect().size());
        moved();
    }
    QWidget::changeEvent(event);
}

QPointF MapView::plotPoint(QPointF widgetPoint) const { return widgetPoint - plotRect().topLeft(); }

void MapView::wheelEvent(QWheelEvent *event) {
    const double steps = event->angleDelta().y() / 120.0;
    if (steps == 0)
        return;
    QPointF at = plotPoint(event->position());
    if (!QRectF(QPointF(0, 0), QSizeF(m_viewport.size())).contains(at))
        at = QPointF(m_viewport.size().width(), m_viewport.size().height()) / 2;
    m_viewport.zoom(std::pow(wheelZoom, steps), at);
    moved();
    event->accept();
}

void MapView::mousePressEvent(QMouseEvent *event) {
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    m_pressed = event->position();
    m_lastDrag = event->position();
    m_dragged = false;
}

void MapView::mouseMoveEvent(QMouseEvent *event) {
    if (m_pressed) {
        if (!m_dragged &&
            (event->position() - *m_pressed).manhattanLength() >= QApplication::startDragDistance())
            m_dragged = true;
        if (m_dragged) {
            m_viewport.pan(event->position() - m_lastDrag);
            m_lastDrag = event->position();
            moved();
        }
    }
    emit hovered(m_viewport.cellAt(plotPoint(event->position())));
}

void MapView::mouseReleaseEvent(QMouseEvent *event) {
    if (event->button() != Qt::LeftButton || !m_pressed)
        return QWidget::mouseReleaseEvent(event);
    if (!m_dragged && plotRect().contains(event->position().toPoint()))
        select(m_viewport.cellAt(plotPoint(event->position())));
    m_pressed.reset();
}

void MapView::leaveEvent(QEvent *) { emit hovered(std::nullopt); }

void MapView::keyPressEvent(QKeyEvent *event) {
    // Whole device pixels, so that the picture is shifted and only the strip it uncovers drawn.
    const double ratio = devicePixelRatioF();
    const auto whole = [ratio](double pixels) { return std::round(pixels * ratio) / ratio; };
    const QSizeF part(whole(m_viewport.size().width() / double{keyPanParts}),
                      whole(m_viewport.size().height() / double{keyPanParts}));
    switch (event->key()) {
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        zoomBy(keyZoom);
        break;
    case Qt::Key_Minus:
        zoomBy(1 / keyZoom);
        break;
    case Qt::Key_Left:
        panBy(QPointF(part.width(), 0));
        break;
    case Qt::Key_Right:
        panBy(QPointF(-part.width(), 0));
        break;
    case Qt::Key_Up:
        panBy(QPointF(0, part.height()));
        break;
    case Qt::Key_Down:
        panBy(QPointF(0, -part.height()));
        break;
    case Qt::Key_Home:
        showAll();
        break;
    case Qt::Key_N:
        selectNeighbour(event->modifiers() & Qt::ShiftModifier ? -1 : 1);
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}

void MapView::select(std::optional<QPoint> cell) {
    if (cell && (cell->x() < 1 || cell->y() < 1 ||
                 static_cast<std::uint32_t>(cell->x()) > m_viewport.maxLeg() ||
                 static_cast<std::uint32_t>(cell->y()) > m_viewport.maxLeg()))
        cell.reset();
    if (cell == m_selection)
        return;
    m_selection = cell;
    update();
    emit selectionChanged(m_selection);
}

bool MapView::selectNeighbour(int step) {
    if (!m_store || m_store->size() == 0)
        return false;
    std::uint64_t index = step > 0 ? 0 : m_store->size() - 1;
    if (m_selection) {
        const auto x = static_cast<std::uint32_t>(m_selection->x());
        const auto y = static_cast<std::uint32_t>(m_selection->y());
        const std::uint64_t before = m_store->before(x, y);
        if (step > 0) {
            index = before + (m_store->solutionAt(x, y) ? 1 : 0);
        } else {
            if (before == 0)
                return false;
            index = before - 1;
        }
    }
    const std::optional<MapStore::Point> found = m_store->point(index);
    if (!found)
        return false;
    select(QPoint(static_cast<int>(found->x), static_cast<int>(found->y)));
    if (!m_viewport.showsCell(found->x, found->y)) {
        m_viewport.centreOn(QPointF(found->x + 0.5, found->y + 0.5));
        moved();
    }
    return true;
}
