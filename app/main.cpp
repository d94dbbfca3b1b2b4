#include "app/batch.h"
#include "app/commandline.h"
#include "results/windowkeys.h"
#include "window/form1.h"
#include "window/qttranslation.h"

#include <QApplication>
#include <cstdio>

namespace {

int print(std::FILE *stream, const QString &text) {
    return Batch::writeAll(stream, text.toUtf8()) ? 0 : 1;
}

} // namespace

int main(int argc, char *argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const CommandLine command = CommandLine::parse(arguments);

    switch (command.mode) {
    case CommandLine::Mode::Help:
        return print(stdout, command.helpText);
    case CommandLine::Mode::Version:
        return print(stdout, QStringLiteral("zahlenlupe " ZAHLENLUPE_VERSION "\n"));
    case CommandLine::Mode::Error: {
        // Read once more with Qt's German texts in place, for the parser's own messages.
        QCoreApplication app(argc, argv);
        installQtGermanTranslation(app);
        print(stderr, QStringLiteral("zahlenlupe: %1\nMehr dazu: zahlenlupe --help\n")
                          .arg(CommandLine::parse(arguments).error));
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
