#pragma once

#include <QByteArray>
#include <QString>

class QImage;

// Writing results to files, for the window's save keys and the command line alike.
namespace SaveFile {

// Writes the whole content or nothing: the file appears under its name only once it is complete,
// and a failure leaves no partial file and any earlier file of that name as it was. Gives an
// empty text on success, otherwise a German message that names the file and the cause.
QString write(const QString &path, const QByteArray &content);

// The image as a PNG file, with its device pixels as they are, under the same rule. An empty
// image (a plot squeezed to no height) is refused.
QString writePng(const QString &path, const QImage &image);

// "zahlenlupe-abweichung-<d>.<suffix>", the deviation written as a plain number.
QString suggestedName(double deviation, const QString &suffix);

} // namespace SaveFile
