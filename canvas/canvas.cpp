#include "canvas/canvas.h"

#include "canvas/pointercodes.h"
#include "canvas/raster.h"
#include "canvas/twips.h"
#include "numbers/conversions.h"

#include <QMouseEvent>
#include <QPainter>
#include <cmath>
#include <functional>
#include <utility>

namespace {

// Shows the canvas's line items that lie above the widget sharing their layer; it paints nothing
// else and lets the pointer through.
class UpperLines : public QWidget {
public:
    UpperLines(Canvas *canvas, std::function<void(QPainter &)> paintLines)
        : QWidget(canvas), m_paintLines(std::move(paintLines)) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        setFocusPolicy(Qt::NoFocus);
        setGeometry(canvas->rect());
    }

protected:
    void paintEvent(QPaintEvent *) override {
        QPainter painter(this);
        m_paintLines(painter);
    }

private:
    std::function<void(QPainter &)> m_paintLines;
};

} // namespace

Canvas::Canvas(QWidget *parent) : QWidget(parent) {
    setAttribute(Qt::WA_StaticContents);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
}

void Canvas::syncImage() {
    const qreal dpr = devicePixelRatioF();
    const QSize deviceSize(static_cast<int>(std::lround(width() * dpr)),
                           static_cast<int>(std::lround(height() * dpr)));
    if (m_image.size() != deviceSize || !qFuzzyCompare(m_dpr, dpr)) {
        if (!qFuzzyCompare(m_dpr, dpr)) {
            for (LineItem *item : m_lines)
                item->scalePixels(dpr / m_dpr);
        }
        m_dpr = dpr;
        if (deviceSize.isEmpty()) {
            m_image = QImage();
        } else if (m_image.isNull()) {
            m_image = QImage(deviceSize, QImage::Format_RGB32);
            m_image.fill(m_backColor);
        } else {
            // Keep what was drawn, stretched; every caller that changes the size redraws anyway.
            m_image = m_image.scaled(deviceSize, Qt::IgnoreAspectRatio, Qt::FastTransformation)
                          .convertToFormat(QImage::Format_RGB32);
        }
        m_image.setDevicePixelRatio(dpr);
        m_raster.attach(&m_image);
    }
    updateMapping();
}

void Canvas::updateMapping() {
    if (!m_customScale) {
        m_scaleWidth = static_cast<float>(width() * Twips::perPixel);
        m_scaleHeight = static_cast<float>(height() * Twips::perPixel);
    }
    m_mapped = m_scaleWidth != 0.0f && m_scaleHeight != 0.0f && std::isfinite(m_scaleWidth) &&
               std::isfinite(m_scaleHeight) && std::isfinite(m_scaleLeft) &&
               std::isfinite(m_scaleTop);
    if (m_mapped) {
        m_deviceW = static_cast<double>(std::lround(width() * m_dpr));
        m_deviceH = static_cast<double>(std::lround(height() * m_dpr));
    }
}

void Canvas::Scale(float x1, float y1, float x2, float y2) {
    m_customScale = true;
    m_scaleLeft = x1;
    m_scaleTop = y1;
    m_scaleWidth = x2 - x1;
    m_scaleHeight = y2 - y1;
    syncImage();
}

void Canvas::setBackColor(QRgb colour) { m_backColor = colour; }

void Canvas::Cls() {
    syncImage();
    m_raster.fill(m_backColor);
    m_currentX = 0;
    m_currentY = 0;
    scheduleRepaint();
}

// (x - left) * W / scaleWidth, multiplied before dividing: a position that is exactly whole
// stays whole, as it does for pointer reports, instead of landing a hair below it.
long long Canvas::devX(float x) const {
    return Raster::pixelOf((static_cast<double>(x) - m_scaleLeft) * m_deviceW / m_scaleWidth);
}

long long Canvas::devY(float y) const {
    return Raster::pixelOf((static_cast<double>(y) - m_scaleTop) * m_deviceH / m_scaleHeight);
}

int Canvas::deviceWidth() const {
    return std::max(1, static_cast<int>(std::lround(m_drawWidth * m_dpr)));
}

void Canvas::drawLine(float x1, float y1, float x2, float y2, QRgb colour) {
    if (canDraw()) {
        m_raster.line(devX(x1), devY(y1), devX(x2), devY(y2), deviceWidth(), colour);
        scheduleRepaint();
    }
    m_currentX = x2;
    m_currentY = y2;
}

void Canvas::drawBox(float x1, float y1, float x2, float y2, QRgb colour) {
    if (canDraw()) {
        m_raster.box(devX(x1), devY(y1), devX(x2), devY(y2), deviceWidth(), colour);
        scheduleRepaint();
    }
    m_currentX = x2;
    m_currentY = y2;
}

void Canvas::Line(float x1, float y1, float x2, float y2) { drawLine(x1, y1, x2, y2, m_foreColor); }

void Canvas::Line(float x1, float y1, float x2, float y2, QRgb colour) {
    drawLine(x1, y1, x2, y2, colour);
}

void Canvas::FilledBox(float x1, float y1, float x2, float y2) {
    drawBox(x1, y1, x2, y2, m_foreColor);
}

void Canvas::FilledBox(float x1, float y1, float x2, float y2, QRgb colour) {
    drawBox(x1, y1, x2, y2, colour);
}

void Canvas::PSet(float x, float y) {
    if (canDraw()) {
        m_raster.point(devX(x), devY(y), deviceWidth(), m_foreColor);
        scheduleRepaint();
    }
    m_currentX = x;
    m_currentY = y;
}

void Canvas::Print(double number) {
    const QString text = Conv::Str(number) + QLatin1Char(' ');
    if (canDraw()) {
        const QRect painted = m_glyphs.draw(m_image, devX(m_currentX), devY(m_currentY), text,
                                            font(), m_dpr, m_foreColor);
        m_raster.touched(painted.left(), painted.top(), painted.right(), painted.bottom());
        scheduleRepaint();
    }
    // The current point moves on past the text, on the same line.
    if (m_mapped) {
        const double advance = QFontMetricsF(font()).horizontalAdvance(text) * m_dpr;
        m_currentX = static_cast<float>(m_currentX + advance * m_scaleWidth / m_deviceW);
    }
}

void Canvas::setHeightTwips(int twips) {
    resize(width(), Twips::toPixels(std::max(0, twips)));
    syncImage();
}

QPointF Canvas::worldToPixel(QPointF world) const {
    if (!m_mapped)
        return {};
    const double w = width();
    const double h = height();
    return {(world.x() - m_scaleLeft) * w / m_scaleWidth,
            (world.y() - m_scaleTop) * h / m_scaleHeight};
}

QPointF Canvas::pixelToWorld(QPointF pixel) const {
    const double w = width();
    const double h = height();
    const double x = w > 0 ? m_scaleLeft + pixel.x() * m_scaleWidth / w : m_scaleLeft;
    const double y = h > 0 ? m_scaleTop + pixel.y() * m_scaleHeight / h : m_scaleTop;
    return {static_cast<double>(static_cast<float>(x)), static_cast<double>(static_cast<float>(y))};
}

QPoint Canvas::devicePixelOf(float x, float y) const {
    if (!m_mapped)
        return {};
    return {static_cast<int>(devX(x)), static_cast<int>(devY(y))};
}

void Canvas::placeChild(QWidget *child, float left, float top) {
    if (!m_mapped)
        return;
    static constexpr long long limit = 1 << 20;
    const auto logical = [this](long long device) {
        return static_cast<int>(std::floor(std::clamp(device, -limit, limit) / m_dpr));
    };
    child->move(logical(devX(left)), logical(devY(top)));
}

QPointF Canvas::childPosition(const QWidget *child) const { return pixelToWorld(child->pos()); }

LineItem *Canvas::createLineItem(const QString &name, QColor colour, int width) {
    auto *item = new LineItem(name, *this, this, colour, width);
    m_lines.append(item);
    return item;
}

void Canvas::shareLineLayer(QWidget *child) {
    m_linesBelowShared = m_lines.size();
    if (m_upperLines == nullptr)
        m_upperLines = new UpperLines(this, [this](QPainter &painter) {
            paintLineItems(painter, linesBelowShared(), m_lines.size());
        });
    m_upperLines->raise();
    // Directly above the shared widget, below every sibling that lay above it.
    const QObjectList &siblings = children();
    const qsizetype at = siblings.indexOf(child);
    for (qsizetype i = at + 1; at >= 0 && i < siblings.size(); ++i) {
        auto *sibling = qobject_cast<QWidget *>(siblings[i]);
        if (sibling != nullptr && sibling != m_upperLines) {
            m_upperLines->stackUnder(sibling);
            break;
        }
    }
    m_upperLines->show();
}

qsizetype Canvas::linesBelowShared() const {
    return m_upperLines != nullptr ? m_linesBelowShared : m_lines.size();
}

QPoint Canvas::lineDevicePixel(QPointF position) const {
    if (!m_mapped)
        return {};
    // The device pixel that drawing at this point would paint.
    return devicePixelOf(static_cast<float>(position.x()), static_cast<float>(position.y()));
}

void Canvas::updateLineLayer() {
    update();
    if (m_upperLines != nullptr)
        m_upperLines->update();
}

void Canvas::lineItemChanged(const LineItem *) { updateLineLayer(); }

void Canvas::raiseLineItem(LineItem *item) {
    const qsizetype at = m_lines.indexOf(item);
    if (at < 0)
        return;
    m_lines.remove(at);
    if (m_upperLines != nullptr && at < m_linesBelowShared)
        --m_linesBelowShared;
    m_lines.append(item);
    updateLineLayer();
}

void Canvas::paintLineItems(QPainter &painter, qsizetype from, qsizetype to) const {
    for (qsizetype i = from; i < to; ++i)
        m_lines[i]->paint(painter, m_image.size(), m_dpr);
}

void Canvas::scheduleRepaint() {
    // One request per frame: thousands of operations between two frames cost one flag test each.
    if (!m_repaintPending) {
        m_repaintPending = true;
        update();
    }
}

void Canvas::paintEvent(QPaintEvent *event) {
    m_repaintPending = false;
    QPainter painter(this);
    const QRect dirty = event->rect();
    if (m_image.isNull())
        painter.fillRect(dirty, QColor::fromRgb(m_backColor));
    else
        painter.drawImage(dirty.topLeft(), m_image,
                          QRectF(QPointF(dirty.topLeft()) * m_dpr, QSizeF(dirty.size()) * m_dpr));
    paintLineItems(painter, 0, linesBelowShared());
}

QImage Canvas::composedImage(const QList<Overlay> &overlays) const {
    QImage picture = m_image.copy();
    picture.setDevicePixelRatio(m_dpr);
    if (picture.isNull())
        return picture;
    QPainter painter(&picture);
    paintLineItems(painter, 0, m_lines.size());
    for (const Overlay &overlay : overlays)
        overlay.widget->render(&painter, overlay.position, QRegion(), QWidget::DrawChildren);
    return picture;
}

void Canvas::resizeEvent(QResizeEvent *event) {
    QWidget::resizeEvent(event);
    if (m_upperLines != nullptr)
        m_upperLines->setGeometry(rect());
    syncImage();
}

void Canvas::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    if (!qFuzzyCompare(m_dpr, devicePixelRatioF()))
        syncImage();
}

void Canvas::mousePressEvent(QMouseEvent *event) {
    const QPointF world = pixelToWorld(event->position());
    emit mouseDown(PointerCodes::buttons(event->button()),
                   PointerCodes::modifiers(event->modifiers()), static_cast<float>(world.x()),
                   static_cast<float>(world.y()));
}

void Canvas::mouseMoveEvent(QMouseEvent *event) {
    const QPointF world = pixelToWorld(event->position());
    emit mouseMove(PointerCodes::buttons(event->buttons()),
                   PointerCodes::modifiers(event->modifiers()), static_cast<float>(world.x()),
                   static_cast<float>(world.y()));
}
