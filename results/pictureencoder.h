#pragma once

#include "results/failure.h"
#include "results/pictureformat.h"

#include <QByteArray>
#include <QImage>
#include <QRectF>
#include <QSize>
#include <QString>
#include <functional>

class QPainter;

// The one way a picture becomes a file's content: PNG from its pixels, SVG and PDF as vectors and
// real text on a page of the picture's size, a point for each logical pixel and no margin. Every
// encoder's result is checked, so a picture that cannot be encoded is said to be so.
class PictureEncoder {
public:
    struct Picture {
        QSize size;          // logical pixels
        QString title;       // the document's title in SVG and PDF
        QString description; // and its description in SVG, if any
        std::function<QImage()> pixels;
        // Paints the picture into the whole rectangle of its size.
        std::function<void(QPainter &painter, const QRectF &whole)> vectors;
    };

    // The file's content into bytes, which stay empty on failure.
    static Failure encode(PictureFormat::Kind format, const Picture &picture, QByteArray &bytes);
};
