#include "finder/savefile.h"

#include <QBuffer>
#include <QImage>
#include <QSaveFile>

namespace SaveFile {

QString write(const QString &path, const QByteArray &content) {
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(content) == content.size() && file.commit())
        return {};
    return QStringLiteral("»%1« kann nicht geschrieben werden: %2").arg(path, file.errorString());
}

QString writePng(const QString &path, const QImage &image) {
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    if (image.isNull() || !image.save(&buffer, "PNG"))
        return QStringLiteral("»%1« wird nicht geschrieben: das Bild ist leer.").arg(path);
    return write(path, data);
}

QString suggestedName(double deviation, const QString &suffix) {
    return QStringLiteral("zahlenlupe-abweichung-%1.%2")
        .arg(QString::number(deviation, 'g', 15), suffix);
}

} // namespace SaveFile
