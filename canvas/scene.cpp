#include "canvas/scene.h"

#include "canvas/drawingrecord.h"
#include "canvas/lineitem.h"

#include <QPainter>
#include <cmath>

Scene::Scene(QSize logicalSize, double ratio)
    : m_logical(logicalSize), m_ratio(ratio),
      m_device(static_cast<int>(std::lround(logicalSize.width() * ratio)),
               static_cast<int>(std::lround(logicalSize.height() * ratio))) {}

void Scene::setDrawing(const QImage *image, const DrawingRecord *record) {
    m_image = image;
    m_record = record;
}

void Scene::addLine(const LineItem &line) { m_layers.append({&line, nullptr, {}, {}}); }

void Scene::addWidget(QWidget &widget, QPoint position, QWidget::RenderFlags flags) {
    m_layers.append({nullptr, &widget, position, flags});
}

void Scene::paint(QPainter &painter, Output output) const {
    painter.save();
    const QTransform logical = painter.worldTransform();
    // Drawing and line items in device pixels: on a device of the scene's ratio these are whole
    // pixels of the device, untouched by any rounding of logical coordinates.
    const QTransform device = QTransform::fromScale(1 / m_ratio, 1 / m_ratio) * logical;
    painter.setWorldTransform(device);
    painter.setRenderHint(QPainter::Antialiasing, output == Output::Vector);
    if (output == Output::Raster && m_image != nullptr && !m_image->isNull())
        painter.drawImage(QRect(QPoint(0, 0), m_image->size()), *m_image); // pixel for pixel
    if (output == Output::Vector && m_record != nullptr)
        m_record->paint(painter);
    const QRect deviceRect(QPoint(0, 0), m_device);
    for (const Layer &layer : m_layers) {
        if (layer.line != nullptr) {
            if (output == Output::Raster) {
                layer.line->paintPixels(painter, m_device);
            } else {
                painter.save();
                painter.setClipRect(deviceRect, Qt::IntersectClip);
                layer.line->paintVector(painter);
                painter.restore();
            }
            continue;
        }
        painter.setWorldTransform(logical);
        layer.widget->render(&painter, layer.position, QRegion(), layer.flags);
        painter.setWorldTransform(device);
    }
    painter.restore();
}

QImage Scene::toImage() const {
    if (m_device.isEmpty())
        return {};
    QImage picture(m_device, QImage::Format_RGB32);
    picture.setDevicePixelRatio(m_ratio);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    paint(painter, Output::Raster);
    return picture;
}
