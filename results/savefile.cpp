#include "results/savefile.h"

#include <QSaveFile>

namespace SaveFile {

QString write(const QString &path, const QByteArray &content) {
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(content) == content.size() && file.commit())
        return {};
    return QStringLiteral("»%1« kann nicht geschrieben werden: %2").arg(path, file.errorString());
}

QString writePicture(const QString &path, const PlotPicture &picture, PlotPicture::Format format) {
    const QByteArray data = picture.encode(format);
    if (data.isEmpty())
        return QStringLiteral("»%1« wird nicht geschrieben: das Bild ist leer.").arg(path);
    return write(path, data);
}

QString suggestedBaseName(double deviation) {
    return QStringLiteral("zahlenlupe-abweichung-%1").arg(QString::number(deviation, 'g', 15));
}

QString suggestedName(double deviation, const QString &suffix) {
    return suggestedBaseName(deviation) + QLatin1Char('.') + suffix;
}

} // namespace SaveFile
