#include "results/pictureformat.h"

#include <QFileInfo>

namespace PictureFormat {

std::optional<Kind> ofFile(const QString &fileName) {
    const QFileInfo file(fileName);
    if (file.completeBaseName().isEmpty())
        return std::nullopt;
    const QString suffix = file.suffix().toLower();
    if (suffix == QLatin1String("png"))
        return Kind::Png;
    if (suffix == QLatin1String("svg"))
        return Kind::Svg;
    if (suffix == QLatin1String("pdf"))
        return Kind::Pdf;
    return std::nullopt;
}

QString suffixList() { return QStringLiteral(".png, .svg oder .pdf"); }

Failure unnamedIn(const QString &fileName) {
    return Failure(QStringLiteral("»%1« wird nicht geschrieben: das Bild wird als %2 gespeichert, "
                                  "je nach Endung des Namens.")
                       .arg(fileName, suffixList()));
}

} // namespace PictureFormat
