#include "results/output.h"

#include <cerrno>
#include <cstring>
#include <poll.h>
#include <unistd.h>

namespace Output {

int writeAll(int fd, const char *data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written > 0) {
            data += written;
            size -= static_cast<std::size_t>(written);
        } else if (written < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            pollfd wanted{fd, POLLOUT, 0};
            if (::poll(&wanted, 1, -1) < 0 && errno != EINTR)
                return errno;
        } else if (written < 0 && errno != EINTR) {
            return errno;
        } else if (written == 0) {
            return EIO; // a device that takes nothing would be asked for ever
        }
    }
    return 0;
}

QString cause(int error) {
    switch (error) {
    case ENOSPC:
        return QStringLiteral("kein Platz mehr auf dem Datenträger");
    case EDQUOT:
        return QStringLiteral("das Speicherkontingent ist erschöpft");
    case EACCES:
    case EPERM:
        return QStringLiteral("keine Berechtigung");
    case ENOENT:
        return QStringLiteral("den Ordner gibt es nicht");
    case ENOTDIR:
        return QStringLiteral("ein Teil des Pfades ist kein Ordner");
    case EISDIR:
        return QStringLiteral("das ist ein Ordner");
    case ENAMETOOLONG:
        return QStringLiteral("der Dateiname ist zu lang");
    case EROFS:
        return QStringLiteral("das Dateisystem ist nur lesbar eingehängt");
    case ELOOP:
        return QStringLiteral("zu viele symbolische Verknüpfungen hintereinander");
    case EFBIG:
        return QStringLiteral("die Datei würde zu groß");
    case EIO:
        return QStringLiteral("Ein-/Ausgabefehler des Geräts");
    case EPIPE:
        return QStringLiteral("der Leser hat die Leitung geschlossen");
    case EBADF:
        return QStringLiteral("die Ausgabe ist geschlossen oder nicht zum Schreiben geöffnet");
    case ENXIO:
    case ENODEV:
        return QStringLiteral("das Gerät gibt es nicht");
    case EBUSY:
        return QStringLiteral("das Gerät oder die Datei ist belegt");
    case ETXTBSY:
        return QStringLiteral("die Datei läuft gerade als Programm");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("zu viele offene Dateien");
    case ENOMEM:
        return QStringLiteral("kein Speicher mehr frei");
    case EINVAL:
        return QStringLiteral("das Ziel nimmt so nicht an");
    default:
        // The symbolic name, which is no English sentence, for whoever looks it up.
        const char *name = strerrorname_np(error);
        return QStringLiteral("Systemfehler %1 (%2)")
            .arg(error)
            .arg(QLatin1String(name != nullptr ? name : "?"));
    }
}

} // namespace Output
