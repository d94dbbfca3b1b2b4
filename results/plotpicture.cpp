#include "results/plotpicture.h"

#include "canvas/canvas.h"
#include "results/pictureencoder.h"

#include <QLineEdit>
#include <QPainter>
#include <algorithm>

PlotPicture::PlotPicture(const Canvas &canvas, const QLineEdit &label)
    : m_canvas(canvas), m_label(label.text()) {
    m_label.resize(label.size());
    m_label.setFont(label.font());
    m_label.setPalette(label.palette());
    m_label.setAlignment(label.alignment());
    m_labelPosition = label.pos();
}

Scene PlotPicture::scene() const {
    Scene scene = m_canvas.scene();
    scene.addWidget(m_label, m_labelPosition);
    return scene;
}

bool PlotPicture::isEmpty() const { return m_canvas.image().isNull(); }

QSize PlotPicture::size() const { return m_canvas.size(); }

QImage PlotPicture::image() const { return scene().toImage(); }

QPicture PlotPicture::vectors() const {
    // A picture keeps text at its size in picture units whatever the resolution of the device it
    // is played on, widgets' texts included.
    QPicture picture;
    QPainter painter(&picture);
    scene().paint(painter, Scene::Output::Vector);
    painter.end();
    return picture;
}

void PlotPicture::paint(QPainter &painter, const QRectF &target) const {
    const QSizeF own = size();
    if (own.isEmpty() || target.isEmpty())
        return;
    const double scale = std::min(target.width() / own.width(), target.height() / own.height());
    const QSizeF scaled = own * scale;
    painter.save();
    painter.translate(target.center() - QPointF(scaled.width(), scaled.height()) / 2);
    painter.scale(scale, scale);
    painter.setClipRect(QRectF(QPointF(0, 0), own));
    const QPicture picture = vectors();
    // A picture played on a device of another resolution grows or shrinks with it; the target
    // rectangle has said how large it is to be already.
    if (const QPaintDevice *device = painter.device()) {
        const double factor = static_cast<double>(picture.logicalDpiX()) / device->logicalDpiX();
        painter.scale(factor, factor);
    }
    painter.drawPicture(0, 0, picture);
    painter.restore();
}

Failure PlotPicture::encode(Format format, QByteArray &bytes) const {
    if (isEmpty()) {
        bytes.clear();
        return Failure(QStringLiteral("das Bild ist leer"));
    }
    return PictureEncoder::encode(
        format,
        {size(), QStringLiteral("Zahlenlupe"), QString(), [this] { return image(); },
         [this](QPainter &painter, const QRectF &whole) { paint(painter, whole); }},
        bytes);
}
