#include "app/batch.h"
#include "app/commandline.h"
#include "app/startchecks.h"
#include "results/output.h"
#include "results/windowkeys.h"
#include "window/form1.h"
#include "window/qttranslation.h"

#include <QApplication>
#include <cstdio>
#include <unistd.h>

namespace {

int print(const QString &text, const char *what) {
    const int error = Batch::writeAll(STDOUT_FILENO, text.toUtf8());
    if (error == 0)
        return 0;
    Batch::complain(QStringLiteral("%1 kann nicht geschrieben werden: %2")
                        .arg(QLatin1String(what), Output::cause(error)));
    return 1;
}

} // namespace

int main(int argc, char *argv[]) {
    StartChecks::holdClosedStandardStreams();
    QList<QByteArray> arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QByteArray(argv[i]));
    const CommandLine command = CommandLine::parse(arguments);

    switch (command.mode) {
    case CommandLine::Mode::Help:
        return print(command.helpText, "Die Hilfe");
    case CommandLine::Mode::Version:
        return print(QStringLiteral("zahlenlupe " ZAHLENLUPE_VERSION "\n"), "Die Version");
    case CommandLine::Mode::Error: {
        // Read once more with Qt's German texts in place, for the parser's own messages.
        QCoreApplication app(argc, argv);
        installQtGermanTranslation(app);
        Batch::complain(CommandLine::parse(arguments).error);
        std::fputs("Mehr dazu: zahlenlupe --help\n", stderr);
        return 2;
    }
    case CommandLine::Mode::Batch:
        return Batch::run(command, argc, argv);
    case CommandLine::Mode::Window:
        break;
    }

    QApplication app(argc, argv);
    installQtGermanTranslation(app);
    QApplication::setApplicationName(QStringLiteral("Zahlenlupe"));
    QApplication::setApplicationVersion(QStringLiteral(ZAHLENLUPE_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("de.zahlenlupe.Zahlenlupe"));
    Form1 form;
    const WindowKeys keys(form);
    if (command.startValuesGiven)
        command.start.applyTo(form);
    form.show();
    return QApplication::exec();
}
