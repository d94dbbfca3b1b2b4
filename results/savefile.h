#pragma once

#include <QByteArray>
#include <QString>

#include "results/failure.h"

#include <functional>

// Writing results to files, for the window's save keys and the command line alike.
namespace SaveFile {

// Writes the content under the name, whose bytes are QFile::encodeName's (UTF-8), and keeps what
// belongs to the file already there. A symbolic link is followed, and the file it points to is
// written, the link left as it is. An ordinary file is replaced whole or not at all: the new
// content appears under the name only once complete, with the old file's owner, group and mode,
// and a failure leaves the old file as it was. It is written into in place, once the whole
// content is ready and its room on the disk is taken, where replacing it would lose something:
// when it has other names (hard links), when its owner cannot be kept, or when its folder takes
// no new file. A character device or a FIFO is written into, never replaced. Refused: a file
// without any write permission (for root too), a folder, a block device, a socket and a link to
// nothing. A failure names the file and the cause.
Failure write(const QString &path, const QByteArray &content);

// A picture under the same rule, once its encoder has made the file's content; a picture the
// encoder refuses (an empty one, a plot squeezed to no height) is not written, and the failure
// says why.
Failure writePicture(const QString &path, const std::function<Failure(QByteArray &)> &encode);

// "zahlenlupe-abweichung-<d>", the deviation written as a plain number, and the same with a suffix.
QString suggestedBaseName(double deviation);
QString suggestedName(double deviation, const QString &suffix);

} // namespace SaveFile
