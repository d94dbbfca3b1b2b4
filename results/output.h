#pragma once

#include <QString>
#include <cstddef>

// Writing bytes to a file descriptor the way careful tools do, and saying in German why it failed.
namespace Output {

// Writes every byte. A descriptor that is full for now (a non-blocking pipe whose reader is slow)
// is waited for until it takes more; an interrupted write goes on. Gives 0 when all is written,
// otherwise the errno of the real error that stopped it.
int writeAll(int fd, const char *data, std::size_t size);

// Why writing failed, from errno, in German and in lower case, to follow a colon. The system's own
// texts are English in most sessions and say nothing to the program's users.
QString cause(int error);

} // namespace Output
