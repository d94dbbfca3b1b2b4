#pragma once

#include "results/failure.h"

struct MapOptions;

// The map written as a picture without a display, as it opens or of the given view: the search
// runs to its end on the calling thread, then the picture goes through the same careful file
// writing as the window's outputs. A QGuiApplication must exist (the offscreen platform will do).
namespace MapExport {

struct Result {
    int status = 0;  // 0 written, 1 not written, 2 bad options
    Failure failure; // why it was not written
};

Result write(const MapOptions &options);

} // namespace MapExport
