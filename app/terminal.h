#pragma once

#include "results/failure.h"

#include <QByteArray>

// What the program says on its standard streams when it runs without a window: results on
// standard output, failures as one line on standard error.
namespace Terminal {

// One line on standard error, "zahlenlupe: " first, its control characters escaped.
void complain(const Failure &failure);

// The bytes on standard output, waiting for a slow reader; 0 when written, else 1 after a line on
// standard error that says "<what> kann nicht geschrieben werden" and why.
int writeOut(const QByteArray &bytes, const char *what);

// A command line that cannot be run: the reason, read once more with Qt's German texts in place
// for the parser's own messages, and a pointer to --help. Gives the exit status, 2.
int refuse(int argc, char *argv[]);

} // namespace Terminal
