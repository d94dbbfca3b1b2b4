#include "canvas/canvas.h"

#include "canvas/pointercodes.h"
#include "canvas/twips.h"
#include "numbers/conversions.h"

#include <QMouseEvent>
#include <QPainter>
#include <cmath>

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
                item->setDeviceRatio(dpr);
        }
        m_dpr = dpr;
        m_record.reset(deviceSize, dpr);
        if (deviceSize.isEmpty()) {
            m_image = QImage();
        } else if (m_image.isNull()) {
            m_image = QImage(deviceSize, QImage::Format_RGB32);
            m_image.fill(m_backColor);
            m_record.addFill(m_backColor);
        } else {
            // Keep what was drawn, stretched; every caller that changes the size redraws anyway,
            // and the record starts again with that drawing.
            m_image = m_image.scaled(deviceSize, Qt::IgnoreAspectRatio, Qt::FastTransformation)
                          .convertToFormat(QImage::Format_RGB32);
        }
        m_image.setDevicePixelRatio(dpr);
        m_raster.attach(&m_image);
    }
    updateMapping();
}

void Canvas::updateMapping() {
    // Until it is given a world system of its own, the canvas counts in twips from its corner.
    m_mapping = m_customScale ? m_mapping.on(size(), m_dpr) : WorldMapping::twips(size(), m_dpr);
}

void Canvas::Scale(float x1, float y1, float x2, float y2) {
    m_customScale = true;
    m_mapping = WorldMapping(x1, y1, x2 - x1, y2 - y1, size(), m_dpr);
    syncImage();
}

void Canvas::setBackColor(QRgb colour) { m_backColor = colour; }

void Canvas::Cls() {
    syncImage();
    m_record.addFill(m_backColor);
    paintLast();
    m_currentX = 0;
    m_currentY = 0;
}

int Canvas::deviceWidth() const { return Raster::deviceWidth(m_drawWidth, m_dpr); }

void Canvas::paintLast() {
    m_record.rasterise(m_record.last(), m_raster, m_glyphs, m_image);
    scheduleRepaint();
}

void Canvas::drawLine(float x1, float y1, float x2, float y2, QRgb colour) {
    if (canDraw()) {
        m_record.addLine(m_mapping.pixelX(x1), m_mapping.pixelY(y1), m_mapping.pixelX(x2),
                         m_mapping.pixelY(y2), deviceWidth(), colour);
        paintLast();
    }
    m_currentX = x2;
    m_currentY = y2;
}

void Canvas::drawBox(float x1, float y1, float x2, float y2, QRgb colour) {
    if (canDraw()) {
        m_record.addBox(m_mapping.pixelX(x1), m_mapping.pixelY(y1), m_mapping.pixelX(x2),
                        m_mapping.pixelY(y2), deviceWidth(), colour);
        paintLast();
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
    drawBox(x, y, x, y, m_foreColor);
    m_currentX = x;
    m_currentY = y;
}

void Canvas::Print(double number) {
    const QString text = Conv::Str(number) + QLatin1Char(' ');
    if (canDraw()) {
        m_record.addText(m_mapping.pixelX(m_currentX), m_mapping.pixelY(m_currentY), text, font(),
                         m_foreColor);
        paintLast();
    }
    // The current point moves on past the text, on the same line.
    if (m_mapping.valid()) {
        const double advance = QFontMetricsF(font()).horizontalAdvance(text) * m_dpr;
        m_currentX = static_cast<float>(m_currentX + m_mapping.worldAcross(advance));
    }
}

void Canvas::setHeightTwips(int twips) {
    resize(width(), Twips::toPixels(std::max(0, twips)));
    syncImage();
}

void Canvas::placeChild(QWidget *child, float left, float top) {
    if (m_mapping.valid())
        child->move(m_mapping.childPosition(left, top));
}

LineItem *Canvas::createLineItem(const QString &name, QColor colour, int width) {
    auto *item = new LineItem(name, *this, this, colour, width);
    m_lines.append(item);
    return item;
}

void Canvas::shareLineLayer(QWidget *child) {
    m_linesBelowShared = m_lines.size();
    m_shared = child;
    // Painted by the canvas between the line items, its ground included; on its own it paints
    // nothing and lets the canvas show through.
    child->setAutoFillBackground(false);
    child->installEventFilter(this);
}

bool Canvas::eventFilter(QObject *watched, QEvent *event) {
    if (watched == m_shared && event->type() == QEvent::Paint && !m_paintingShared)
        return true;
    return QWidget::eventFilter(watched, event);
}

Scene Canvas::scene() const { return layers(false); }

Scene Canvas::layers(bool withSharedWidget) const {
    Scene scene(size(), m_dpr);
    scene.setDrawing(&m_image, &m_record);
    const bool shared = withSharedWidget && m_shared != nullptr && !m_shared->isHidden();
    for (qsizetype i = 0; i <= m_lines.size(); ++i) {
        if (shared && i == m_linesBelowShared)
            scene.addWidget(*m_shared, m_shared->pos(),
                            QWidget::DrawWindowBackground | QWidget::DrawChildren);
        if (i < m_lines.size())
            scene.addLine(*m_lines[i]);
    }
    return scene;
}

void Canvas::lineItemChanged(const LineItem *) { update(); }

void Canvas::raiseLineItem(LineItem *item) {
    const qsizetype at = m_lines.indexOf(item);
    if (at < 0)
        return;
    m_lines.remove(at);
    if (m_shared != nullptr && at < m_linesBelowShared)
        --m_linesBelowShared;
    m_lines.append(item);
    update();
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
    if (m_image.isNull()) {
        painter.fillRect(event->rect(), QColor::fromRgb(m_backColor));
        return;
    }
    m_paintingShared = true;
    layers(true).paint(painter, Scene::Output::Raster);
    m_paintingShared = false;
}

void Canvas::resizeEvent(QResizeEvent *event) {
    QWidget::resizeEvent(event);
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
