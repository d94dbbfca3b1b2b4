#pragma once

#include <QByteArray>
#include <QString>

#include "results/plotpicture.h"

// Writing results to files, for the window's save keys and the command line alike.
namespace SaveFile {

// Writes the whole content or nothing: the file appears under its name only once it is complete,
// and a failure leaves no partial file and any earlier file of that name as it was. Gives an
// empty text on success, otherwise a German message that names the file and the cause.
QString write(const QString &path, const QByteArray &content);

// The picture in the format, under the same rule. An empty picture (a plot squeezed to no
// height) is refused.
QString writePicture(const QString &path, const PlotPicture &picture, PlotPicture::Format format);

// "zahlenlupe-abweichung-<d>", the deviation written as a plain number, and the same with a suffix.
QString suggestedBaseName(double deviation);
QString suggestedName(double deviation, const QString &suffix);

} // namespace SaveFile
