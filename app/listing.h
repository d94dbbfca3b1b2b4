#pragma once

struct CommandLine;

// The lists and counts of solutions on standard output, by the window's rule or in whole numbers
// (--exact): the batch runs that need nothing of the window, so that the short program that
// starts every run answers them itself (app/launcher.cpp).
namespace Listing {

// A list or a count, with no picture to draw.
bool handles(const CommandLine &command);
// Gives the exit status: 0 written, 1 an output could not be written.
int run(const CommandLine &command);

} // namespace Listing
