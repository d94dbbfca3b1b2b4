#pragma once

#include <QByteArray>
#include <cstdio>

struct CommandLine;

// The batch modes: the plot as a PNG file and the list of solutions on standard output, with no
// window and no display. Messages go to standard error; the result is the exit status (0 done,
// 1 an output could not be written).
namespace Batch {

int run(const CommandLine &command, int argc, char *argv[]);

// Writes all of the bytes to the stream and flushes it; false when any of it failed (errno says
// why).
bool writeAll(std::FILE *stream, const QByteArray &bytes);

} // namespace Batch
