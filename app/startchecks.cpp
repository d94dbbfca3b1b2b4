#include "app/startchecks.h"

#include "app/terminal.h"
#include "results/pictureformat.h"
#include "window/form1.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace StartChecks {
namespace {

const QString noDisplayHint =
    QStringLiteral("Ohne Bildschirm arbeiten --export, --list und --count.");

QString variable(const char *name) {
    const QString value = qEnvironmentVariable(name);
    return value.isEmpty() ? QStringLiteral("%1 nicht gesetzt").arg(QLatin1String(name))
                           : QStringLiteral("%1=»%2«").arg(QLatin1String(name), value);
}

void platformFailure(QtMsgType type, const QMessageLogContext &, const QString &) {
    if (type != QtFatalMsg)
        return;
    Terminal::complain(
        Failure(QStringLiteral("Das Fenster kann nicht öffnen: Qt kann keine Plattform starten "
                               "(%1, %2, %3); der Bildschirm ist nicht erreichbar, oder das "
                               "Plattform-Plugin fehlt oder ist defekt. %4")
                    .arg(variable("QT_QPA_PLATFORM"), variable("DISPLAY"),
                         variable("WAYLAND_DISPLAY"), noDisplayHint)));
    std::fflush(stderr);
    std::_Exit(1);
}

} // namespace

Failure missingDisplay(const QString &platformOption) {
    for (const char *name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        if (!qEnvironmentVariableIsEmpty(name))
            return {};
    if (!platformOption.isEmpty())
        return {};
    return Failure(QStringLiteral("Das Fenster braucht einen Bildschirm, aber weder DISPLAY noch "
                                  "WAYLAND_DISPLAY ist gesetzt. ") +
                   noDisplayHint);
}

void catchPlatformFailure() { qInstallMessageHandler(platformFailure); }

void platformStarted() { qInstallMessageHandler(nullptr); }

Failure scaleProblem(const QString &factorText, int scale) {
    QStringList origins;
    if (!factorText.isEmpty())
        origins << QStringLiteral("QT_SCALE_FACTOR=»%1«").arg(factorText);
    if (scale != 1)
        origins << QStringLiteral("--scale %1").arg(scale);
    const QString origin = origins.isEmpty() ? QStringLiteral("der Maßstab des Bildschirms")
                                             : origins.join(QStringLiteral(" mal "));
    const QSize plot = Form1::plotSize();
    for (const QScreen *screen : QGuiApplication::screens()) {
        const double factor = screen->devicePixelRatio();
        if (!std::isfinite(factor) || factor <= 0)
            return Failure(QStringLiteral("Der Maßstab %1 (aus %2) ist keine endliche Zahl größer "
                                          "als 0; so lässt sich kein Bild zeichnen.")
                               .arg(QString::number(factor), origin));
        const double width = std::round(plot.width() * factor);
        const double height = std::round(plot.height() * factor);
        if (width > PictureFormat::largestSide || height > PictureFormat::largestSide)
            return Failure(
                QStringLiteral("Das Bild hätte %1 × %2 Pixel (%3 × %4 mal %5, aus %7); "
                               "zahlenlupe zeichnet höchstens %6 Pixel je Seite, damit das "
                               "Bild unter 1 GiB bleibt und gängige Programme es zeigen.")
                    .arg(QString::number(width, 'g', 12), QString::number(height, 'g', 12))
                    .arg(plot.width())
                    .arg(plot.height())
                    .arg(QString::number(factor))
                    .arg(PictureFormat::largestSide)
                    .arg(origin));
    }
    return {};
}

Failure missingFont(const QFont &font) {
    if (!QFontInfo(font).family().isEmpty() && QFontMetrics(font).inFont(QChar(u'0')))
        return {};
    return Failure(QStringLiteral("Warnung: fontconfig findet für »%1« keine Schrift und keinen "
                                  "Ersatz mit Ziffern; die Beschriftungen des Bildes bleiben leer "
                                  "(Abhilfe: das Debian-Paket fonts-liberation).")
                       .arg(font.family()));
}

} // namespace StartChecks
