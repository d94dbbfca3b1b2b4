#include "results/pictureencoder.h"

#include <QBuffer>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

namespace {

// Paints on a device and finishes it; false where the device takes no painter or no page.
bool paintOn(QPaintDevice &device, const PictureEncoder::Picture &picture) {
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    picture.vectors(painter, QRectF(QPointF(0, 0), QSizeF(picture.size)));
    return painter.end();
}

} // namespace

Failure PictureEncoder::encode(PictureFormat::Kind format, const Picture &picture,
                               QByteArray &bytes) {
    bytes.clear();
    if (picture.size.isEmpty())
        return Failure(QStringLiteral("das Bild ist leer"));
    QBuffer buffer(&bytes);
    bool encoded = buffer.open(QIODevice::WriteOnly);
    const char *name = "PNG";
    switch (format) {
    case PictureFormat::Kind::Png:
        encoded = encoded && picture.pixels().save(&buffer, "PNG");
        break;
    case PictureFormat::Kind::Svg: {
        name = "SVG";
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(picture.size);
        svg.setViewBox(QRectF(QPointF(0, 0), QSizeF(picture.size)));
        svg.setResolution(96);
        svg.setTitle(picture.title);
        if (!picture.description.isEmpty())
            svg.setDescription(picture.description);
        encoded = encoded && paintOn(svg, picture);
        break;
    }
    case PictureFormat::Kind::Pdf: {
        name = "PDF";
        QPdfWriter pdf(&buffer);
        pdf.setResolution(72);
        pdf.setPageSize(
            QPageSize(QSizeF(picture.size), QPageSize::Point, QString(), QPageSize::ExactMatch));
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        pdf.setTitle(picture.title);
        pdf.setCreator(QStringLiteral("Zahlenlupe"));
        encoded = encoded && paintOn(pdf, picture);
        break;
    }
    }
    if (encoded && !bytes.isEmpty())
        return {};
    bytes.clear();
    return Failure(
        QStringLiteral("das Bild lässt sich nicht als %1 kodieren").arg(QLatin1String(name)));
}
