#pragma once

#include <QByteArray>
#include <QString>

struct CommandLine;

// The batch modes: the plot as a PNG file and the list of solutions on standard output, with no
// window and no display. Messages go to standard error; the result is the exit status (0 done,
// 1 an output could not be written).
namespace Batch {

int run(const CommandLine &command, int argc, char *argv[]);

// Writes all of the bytes to the file descriptor, waiting for a slow reader; 0 when done, otherwise
// the errno of the failure.
int writeAll(int fd, const QByteArray &bytes);

// One line on standard error, "zahlenlupe: " first, its control characters escaped.
void complain(const QString &message);

} // namespace Batch
