#include "results/savefile.h"

#include "results/output.h"

#include <QFile>
#include <QRandomGenerator>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace SaveFile {
namespace {

// Closed when it goes out of scope, unless closed before to hear of late write errors (a full
// network file system reports them only here).
class Descriptor {
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;

    int fd() const { return m_fd; }
    int close() {
        const int result = ::close(m_fd);
        m_fd = -1;
        return result == 0 ? 0 : errno;
    }

private:
    int m_fd;
};

// Writing into a FIFO whose reader has gone raises SIGPIPE, which ends the whole program, the
// window too. Blocked, the write fails with EPIPE and is reported like any other failure; the
// signal left pending is taken before it is unblocked.
class PipeSignalBlocked {
public:
    PipeSignalBlocked() {
        sigemptyset(&m_pipe);
        sigaddset(&m_pipe, SIGPIPE);
        pthread_sigmask(SIG_BLOCK, &m_pipe, &m_before);
    }
    ~PipeSignalBlocked() {
        if (sigismember(&m_before, SIGPIPE) == 1)
            return;
        const timespec now{};
        while (sigtimedwait(&m_pipe, nullptr, &now) == SIGPIPE) {
        }
        pthread_sigmask(SIG_SETMASK, &m_before, nullptr);
    }
    PipeSignalBlocked(const PipeSignalBlocked &) = delete;
    PipeSignalBlocked &operator=(const PipeSignalBlocked &) = delete;

private:
    sigset_t m_pipe;
    sigset_t m_before;
};

QByteArray folderOf(const QByteArray &target) {
    const qsizetype slash = target.lastIndexOf('/');
    return slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : target.left(slash);
}

// A hidden name beside the target, ".plot.png.3f9a1c2b", short enough for any file system.
QByteArray hiddenName(const QByteArray &target) {
    const qsizetype slash = target.lastIndexOf('/');
    return target.left(slash + 1) + '.' + target.mid(slash + 1).left(NAME_MAX - 20) + '.' +
           QByteArray::number(QRandomGenerator::global()->generate(), 16);
}

// Into the file itself: a character device or a FIFO, or an ordinary file that a replacement
// would take something from.
Failure writeInto(const QByteArray &target, const struct stat &old, const QByteArray &content) {
    const bool regular = S_ISREG(old.st_mode);
    // Not waiting for a FIFO's reader: without one, the open fails at once.
    Descriptor file(
        ::open(target.constData(), O_WRONLY | O_CLOEXEC | O_NOCTTY | (regular ? 0 : O_NONBLOCK)));
    if (file.fd() < 0)
        return errno == ENXIO && S_ISFIFO(old.st_mode)
                   ? Failure(QStringLiteral("niemand liest aus der FIFO"))
                   : Failure::ofError(errno);
    const auto size = static_cast<off_t>(content.size());
    // The room first: a full disk is found before the old content is touched.
    if (regular && size > 0 && ::fallocate(file.fd(), FALLOC_FL_KEEP_SIZE, 0, size) != 0 &&
        errno != EOPNOTSUPP)
        return Failure::ofError(errno);
    const PipeSignalBlocked quiet;
    if (Failure failed = Output::writeAll(file.fd(), content.constData(),
                                          static_cast<std::size_t>(content.size())))
        return failed;
    if (regular && (::ftruncate(file.fd(), size) != 0 || ::fdatasync(file.fd()) != 0))
        return Failure::ofError(errno);
    return Failure::ofError(file.close());
}

// A new file beside the target, with the old one's owner, group and mode, renamed over it once
// complete. It has no name until then (O_TMPFILE), so that a kill while it is written leaves
// nothing behind; where the file system has no unnamed files, or /proc is missing to name one,
// it is written under a hidden name, removed again on failure. Sets inPlace, with nothing
// written, where the old file must be written into instead: its owner cannot be kept, or its
// folder takes no new file.
Failure replace(const QByteArray &target, const struct stat *old, const QByteArray &content,
                bool &inPlace) {
    for (const bool unnamed : {true, false}) {
        QByteArray hidden; // the name of the new file once it has one, removed on failure
        const auto failed = [&hidden](Failure why) {
            if (!hidden.isEmpty())
                ::unlink(hidden.constData());
            return why;
        };
        const auto failedBy = [&failed](int error) { return failed(Failure::ofError(error)); };
        int opened = -1;
        int error = 0;
        if (unnamed) {
            opened = ::open(folderOf(target).constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
            error = opened < 0 ? errno : 0;
            if (error == EOPNOTSUPP || error == EISDIR || error == EINVAL)
                continue;
        } else {
            for (error = EEXIST; error == EEXIST;) {
                hidden = hiddenName(target);
                opened = ::open(hidden.constData(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
                error = opened < 0 ? errno : 0;
            }
            if (opened < 0)
                hidden.clear();
        }
        Descriptor file(opened);
        if (opened < 0) {
            inPlace = old != nullptr && (error == EACCES || error == EPERM);
            return inPlace ? Failure() : Failure::ofError(error);
        }

        if (Failure unwritten = Output::writeAll(file.fd(), content.constData(),
                                                 static_cast<std::size_t>(content.size())))
            return failed(unwritten);
        if (old != nullptr) {
            struct stat now {};
            if (::fstat(file.fd(), &now) != 0)
                return failedBy(errno);
            if ((now.st_uid != old->st_uid || now.st_gid != old->st_gid) &&
                ::fchown(file.fd(), old->st_uid, old->st_gid) != 0) {
                (void)failedBy(errno);
                inPlace = true;
                return {};
            }
            // After the owner, whose change clears the setuid and setgid bits.
            if (::fchmod(file.fd(), old->st_mode & 07777) != 0)
                return failedBy(errno);
        }
        if (::fdatasync(file.fd()) != 0)
            return failedBy(errno);
        if (unnamed) {
            const QByteArray self = "/proc/self/fd/" + QByteArray::number(file.fd());
            for (error = EEXIST; error == EEXIST;) {
                hidden = hiddenName(target);
                error = ::linkat(AT_FDCWD, self.constData(), AT_FDCWD, hidden.constData(),
                                 AT_SYMLINK_FOLLOW) == 0
                            ? 0
                            : errno;
            }
            if (error == ENOENT)
                continue;
            if (error != 0) {
                hidden.clear();
                return Failure::ofError(error);
            }
        }
        if ((error = file.close()) != 0)
            return failedBy(error);
        if (::rename(hidden.constData(), target.constData()) != 0)
            return failedBy(errno);
        return {};
    }
    return Failure::ofError(EOPNOTSUPP);
}

Failure store(const QByteArray &name, const QByteArray &content) {
    // The file a link points to is the one to write; the link stays as it is.
    QByteArray target = name;
    struct stat found {};
    if (::lstat(name.constData(), &found) == 0 && S_ISLNK(found.st_mode)) {
        char *resolved = ::realpath(name.constData(), nullptr);
        if (resolved == nullptr) {
            if (errno != ENOENT)
                return Failure::ofError(errno);
            char points[PATH_MAX];
            const ssize_t length = ::readlink(name.constData(), points, sizeof points);
            return Failure(
                QStringLiteral("die Verknüpfung zeigt auf »%1«, das es nicht gibt")
                    .arg(QFile::decodeName(QByteArray(points, std::max<ssize_t>(length, 0)))));
        }
        target = resolved;
        std::free(resolved);
    }
    bool inPlace = false;
    if (::stat(target.constData(), &found) != 0) {
        if (errno != ENOENT)
            return Failure::ofError(errno);
        return replace(target, nullptr, content, inPlace);
    }
    if (S_ISDIR(found.st_mode))
        return Failure::ofError(EISDIR);
    if (S_ISBLK(found.st_mode))
        return Failure(QStringLiteral("das ist ein Blockgerät, auf das zahlenlupe nicht schreibt"));
    if (S_ISSOCK(found.st_mode))
        return Failure(QStringLiteral("das ist ein Socket, in den zahlenlupe nicht schreibt"));
    if (!S_ISREG(found.st_mode))
        return writeInto(target, found, content);
    // Refused for root too, as for everyone else.
    if ((found.st_mode & 0222) == 0)
        return Failure(QStringLiteral("die Datei ist schreibgeschützt"));
    if (::access(target.constData(), W_OK) != 0)
        return errno == EACCES ? Failure(QStringLiteral("keine Schreibberechtigung für die Datei"))
                               : Failure::ofError(errno);
    if (found.st_nlink > 1)
        return writeInto(target, found, content);
    Failure failure = replace(target, &found, content, inPlace);
    return inPlace ? writeInto(target, found, content) : failure;
}

} // namespace

Failure write(const QString &path, const QByteArray &content) {
    return store(QFile::encodeName(path), content).writing(QStringLiteral("»%1«").arg(path));
}

Failure writePicture(const QString &path, const std::function<Failure(QByteArray &)> &encode) {
    QByteArray data;
    if (const Failure unencoded = encode(data))
        return Failure(
            QStringLiteral("»%1« wird nicht geschrieben: %2.").arg(path, unencoded.cause()));
    return write(path, data);
}

QString suggestedBaseName(double deviation) {
    return QStringLiteral("zahlenlupe-abweichung-%1").arg(QString::number(deviation, 'g', 15));
}

QString suggestedName(double deviation, const QString &suffix) {
    return suggestedBaseName(deviation) + QLatin1Char('.') + suffix;
}

} // namespace SaveFile
