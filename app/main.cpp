#include "app/batch.h"
#include "app/commandline.h"
#include "app/startchecks.h"
#include "app/terminal.h"
#include "canvas/canvas.h"
#include "map/mapdeviation.h"
#include "map/mapopener.h"
#include "map/mapwindow.h"
#include "results/output.h"
#include "results/windowkeys.h"
#include "window/form1.h"
#include "window/qttranslation.h"

#include <QApplication>
#include <unistd.h>

int main(int argc, char *argv[]) {
    Output::holdClosedStandardStreams();
    const CommandLine command = CommandLine::parse(argc, argv);

    if (command.refusal)
        return Terminal::refuse(argc, argv);
    switch (command.mode) {
    case CommandLine::Mode::Help:
        return Terminal::writeOut(
            CommandLine::helpText(WindowKeys::listText() + MapOpener::listText() +
                                  QStringLiteral("\nTasten der Karte:\n") + MapWindow::keysText())
                .toUtf8(),
            "Die Hilfe");
    case CommandLine::Mode::Version:
        return Terminal::writeOut("zahlenlupe " ZAHLENLUPE_VERSION "\n", "Die Version");
    case CommandLine::Mode::Batch:
        return Batch::run(command, argc, argv);
    case CommandLine::Mode::Window:
        break;
    }

    if (const Failure missing = StartChecks::missingDisplay(command.platform)) {
        Terminal::complain(missing);
        return 1;
    }
    StartChecks::catchPlatformFailure();
    QApplication app(argc, argv);
    StartChecks::platformStarted();
    installQtGermanTranslation(app);
    QApplication::setApplicationName(QStringLiteral("Zahlenlupe"));
    QApplication::setApplicationVersion(QStringLiteral(ZAHLENLUPE_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("de.zahlenlupe.Zahlenlupe"));
    if (const Failure problem =
            StartChecks::scaleProblem(qEnvironmentVariable("QT_SCALE_FACTOR"), 1)) {
        Terminal::complain(problem);
        return 1;
    }
    if (command.map) {
        MapWindow map(command.mapOptions.deviationText, command.mapOptions.maxLeg,
                      command.mapOptions.primitiveOnly);
        map.show();
        return QApplication::exec();
    }
    Form1 form;
    if (const Failure warning = StartChecks::missingFont(form.plotCanvas().font()))
        Terminal::complain(warning);
    const WindowKeys keys(form);
    const MapOpener map(form, [&form] { return MapDeviation::ofDouble(form.searchedDeviation()); });
    if (command.startValuesGiven)
        command.start.applyTo(form);
    form.show();
    return QApplication::exec();
}
