// Writes the program's icon as PNG files for the desktop's icon theme:
// makeicons <directory> <name> <size>... writes <directory>/<size>x<size>/<name>.png per size.
// 16 and 32 pixels are the window's own palette icon; larger sizes are the face of the scalable
// icon (de.zahlenlupe.Zahlenlupe.svg beside this file) drawn smooth.
#include "window/smileyicon.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <cstdio>
#include <cstdlib>

namespace {

// The scalable icon's face on its 32-unit grid: a yellow disc with a black outline two units
// wide, two black eyes and a smiling arc.
QImage smoothSmiley(int size) {
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    const QPen outline(Qt::black, 2, Qt::SolidLine, Qt::SquareCap);
    p.setPen(outline);
    p.setBrush(QColor(255, 255, 0));
    p.drawEllipse(QPointF(16, 16), 14.5, 14.5);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawEllipse(QPointF(11, 11.5), 2, 2.5);
    p.drawEllipse(QPointF(21, 11.5), 2, 2.5);
    p.setPen(outline);
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(8, 8, 16, 15), 200 * 16, 140 * 16);
    return image;
}

} // namespace

int main(int argc, char *argv[]) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: makeicons <directory> <name> <size>...\n");
        return 2;
    }
    const QString root = QString::fromLocal8Bit(argv[1]);
    const QString name = QString::fromLocal8Bit(argv[2]);
    for (int i = 3; i < argc; ++i) {
        const int size = std::atoi(argv[i]);
        if (size < 1 || size > 1024) {
            std::fprintf(stderr, "makeicons: bad size %s\n", argv[i]);
            return 2;
        }
        const QString dir = QStringLiteral("%1/%2x%2").arg(root).arg(size);
        const QImage image = size <= 32 ? smileyImage(size) : smoothSmiley(size);
        if (!QDir().mkpath(dir) || !image.save(QStringLiteral("%1/%2.png").arg(dir, name), "PNG")) {
            std::fprintf(stderr, "makeicons: cannot write %s\n", qPrintable(dir));
            return 1;
        }
    }
    return 0;
}
