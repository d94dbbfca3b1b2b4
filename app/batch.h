#pragma once

#include "results/failure.h"

struct CommandLine;

// The batch modes: the plot as a PNG file and the list of solutions on standard output, with no
// window and no display. Messages go to standard error; the result is the exit status (0 done,
// 1 an output could not be written).
namespace Batch {

int run(const CommandLine &command, int argc, char *argv[]);

// The bytes on standard output, waiting for a slow reader; 0 when written, else 1 after a line on
// standard error that says "<what> kann nicht geschrieben werden" and why.
int writeOut(const QByteArray &bytes, const char *what);

// One line on standard error, "zahlenlupe: " first, its control characters escaped.
void complain(const Failure &failure);

} // namespace Batch
