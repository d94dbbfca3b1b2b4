#pragma once

#include "results/failure.h"

#include <cstddef>

// Writing bytes to a file descriptor the way careful tools do.
namespace Output {

// Writes every byte. A descriptor that is full for now (a non-blocking pipe whose reader is slow)
// is waited for until it takes more; an interrupted write goes on. Fails with the cause of the real
// error that stopped it.
Failure writeAll(int fd, const char *data, std::size_t size);

// A standard stream that is closed at the start is taken by /dev/null, opened for reading only.
// Otherwise the next file the program opens gets its number, and what is meant for the stream
// lands in that file; this way writing to it fails (EBADF) as to a closed stream.
void holdClosedStandardStreams();

} // namespace Output
