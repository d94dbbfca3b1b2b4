#pragma once

struct CommandLine;

// The batch modes: the plot or the map as a picture file, the list of solutions or their count on
// standard output, with no window and no display. Messages go to standard error; the result is the
// exit status (0 done, 1 an output could not be written).
namespace Batch {

int run(const CommandLine &command, int argc, char *argv[]);

} // namespace Batch
