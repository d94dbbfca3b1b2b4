// Writes the program's icon as PNG files for the desktop's icon theme:
// makeicons <directory> writes <directory>/16x16/zahlenlupe.png and 32x32/zahlenlupe.png.
#include "window/smileyicon.h"

#include <QDir>
#include <QImage>
#include <cstdio>

int main(int argc, char *argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: makeicons <directory>\n");
        return 2;
    }
    for (const int size : {16, 32}) {
        const QString dir =
            QStringLiteral("%1/%2x%2").arg(QString::fromLocal8Bit(argv[1])).arg(size);
        if (!QDir().mkpath(dir) ||
            !smileyImage(size).save(dir + QStringLiteral("/zahlenlupe.png"), "PNG")) {
            std::fprintf(stderr, "makeicons: cannot write %s\n", qPrintable(dir));
            return 1;
        }
    }
    return 0;
}
