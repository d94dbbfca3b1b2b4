#include "results/failure.h"

#include <cerrno>
#include <cstring>

Failure Failure::ofError(int error) {
    switch (error) {
    case 0:
        return {};
    case ENOSPC:
        return Failure(QStringLiteral("kein Platz mehr auf dem Datenträger"));
    case EDQUOT:
        return Failure(QStringLiteral("das Speicherkontingent ist erschöpft"));
    case EACCES:
    case EPERM:
        return Failure(QStringLiteral("keine Berechtigung"));
    case ENOENT:
        return Failure(QStringLiteral("den Ordner gibt es nicht"));
    case ENOTDIR:
        return Failure(QStringLiteral("ein Teil des Pfades ist kein Ordner"));
    case EISDIR:
        return Failure(QStringLiteral("das ist ein Ordner"));
    case ENAMETOOLONG:
        return Failure(QStringLiteral("der Dateiname ist zu lang"));
    case EROFS:
        return Failure(QStringLiteral("das Dateisystem ist nur lesbar eingehängt"));
    case ELOOP:
        return Failure(QStringLiteral("zu viele symbolische Verknüpfungen hintereinander"));
    case EFBIG:
        return Failure(QStringLiteral("die Datei würde zu groß"));
    case EIO:
        return Failure(QStringLiteral("Ein-/Ausgabefehler des Geräts"));
    case EPIPE:
        return Failure(QStringLiteral("der Leser hat die Leitung geschlossen"));
    case EBADF:
        return Failure(
            QStringLiteral("die Ausgabe ist geschlossen oder nicht zum Schreiben geöffnet"));
    case ENXIO:
    case ENODEV:
        return Failure(QStringLiteral("das Gerät gibt es nicht"));
    case EBUSY:
        return Failure(QStringLiteral("das Gerät oder die Datei ist belegt"));
    case ETXTBSY:
        return Failure(QStringLiteral("die Datei läuft gerade als Programm"));
    case EMFILE:
    case ENFILE:
        return Failure(QStringLiteral("zu viele offene Dateien"));
    case ENOMEM:
        return Failure(QStringLiteral("kein Speicher mehr frei"));
    case EINVAL:
        return Failure(QStringLiteral("das Ziel nimmt so nicht an"));
    default:
        // The symbolic name, which is no English sentence, for whoever looks it up.
        const char *name = strerrorname_np(error);
        return Failure(QStringLiteral("Systemfehler %1 (%2)")
                           .arg(error)
                           .arg(QLatin1String(name != nullptr ? name : "?")));
    }
}

Failure Failure::writing(const QString &what) const {
    if (!*this)
        return {};
    return Failure(QStringLiteral("%1 kann nicht geschrieben werden: %2").arg(what, m_cause));
}
