#pragma once

// The program with the window, the pictures and the map lives apart from the short one that starts
// every run, so that a list or a count loads nothing of the graphical libraries. The short one
// hands every other run to it, with the same arguments, environment and standard streams.
namespace WindowProgram {

// Replaces this process by the window program; returns only when that fails, with exit status 1
// after one line that says why.
int exec(char *argv[]);

} // namespace WindowProgram
