#pragma once

// What the program makes sure of at the start.
namespace StartChecks {

// A standard stream that is closed at the start is taken by /dev/null, opened for reading only.
// Otherwise the next file the program opens gets its number, and what is meant for the stream
// lands in that file; this way writing to it fails (EBADF) as to a closed stream.
void holdClosedStandardStreams();

} // namespace StartChecks
