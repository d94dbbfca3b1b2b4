#include "results/output.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace Output {

Failure writeAll(int fd, const char *data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written > 0) {
            data += written;
            size -= static_cast<std::size_t>(written);
        } else if (written < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            pollfd wanted{fd, POLLOUT, 0};
            if (::poll(&wanted, 1, -1) < 0 && errno != EINTR)
                return Failure::ofError(errno);
        } else if (written < 0 && errno != EINTR) {
            return Failure::ofError(errno);
        } else if (written == 0) {
            return Failure::ofError(EIO); // a device that takes nothing would be asked for ever
        }
    }
    return {};
}

void holdClosedStandardStreams() {
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF)
            continue;
        const int held = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
        if (held >= 0 && held != fd) {
            ::dup2(held, fd);
            ::close(held);
        }
    }
}

} // namespace Output
