#include "results/plotpicture.h"

#include "canvas/canvas.h"

#include <QBuffer>
#include <QFileInfo>
#include <QLineEdit>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>
#include <algorithm>

std::optional<PlotPicture::Format> PlotPicture::formatOf(const QString &fileName) {
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (QFileInfo(fileName).completeBaseName().isEmpty())
        return std::nullopt;
    if (suffix == QLatin1String("png"))
        return Format::Png;
    if (suffix == QLatin1String("svg"))
        return Format::Svg;
    if (suffix == QLatin1String("pdf"))
        return Format::Pdf;
    return std::nullopt;
}

QString PlotPicture::suffixList() { return QStringLiteral(".png, .svg oder .pdf"); }

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
    bytes.clear();
    if (isEmpty())
        return Failure(QStringLiteral("das Bild ist leer"));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    const QRectF whole(QPointF(0, 0), QSizeF(size()));
    bool encoded = false;
    switch (format) {
    case Format::Png:
        encoded = image().save(&buffer, "PNG");
        break;
    case Format::Svg: {
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(size());
        svg.setViewBox(whole);
        svg.setResolution(96);
        svg.setTitle(QStringLiteral("Zahlenlupe"));
        QPainter painter;
        if (painter.begin(&svg)) {
            paint(painter, whole);
            encoded = painter.end();
        }
        break;
    }
    case Format::Pdf: {
        // One page exactly the plot's size, a point for each logical pixel, no margin.
        QPdfWriter pdf(&buffer);
        pdf.setResolution(72);
        pdf.setPageSize(
            QPageSize(QSizeF(size()), QPageSize::Point, QString(), QPageSize::ExactMatch));
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        pdf.setTitle(QStringLiteral("Zahlenlupe"));
        pdf.setCreator(QStringLiteral("Zahlenlupe"));
        QPainter painter;
        if (painter.begin(&pdf)) {
            paint(painter, whole);
            encoded = painter.end();
        }
        break;
    }
    }
    if (encoded && !bytes.isEmpty())
        return {};
    bytes.clear();
    return Failure(QStringLiteral("das Bild lässt sich nicht als %1 kodieren")
                       .arg(QLatin1String(format == Format::Png   ? "PNG"
                                          : format == Format::Svg ? "SVG"
                                                                  : "PDF")));
}
