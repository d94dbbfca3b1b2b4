#pragma once

#include "app/startvalues.h"
#include "map/mapoptions.h"
#include "numbers/deviationrange.h"
#include "results/failure.h"
#include "results/listwriter.h"

#include <QByteArray>
#include <QList>
#include <QString>

// What the command line asks for. It is read without a running application, so that help,
// version, a bad option and the batch modes need no display; Qt's own options (-platform,
// -style, ...) are accepted here and left to the application object.
struct CommandLine {
    enum class Mode { Window, Help, Version, Batch };
    using Format = ListWriter::Format;

    Mode mode = Mode::Window;
    // Why the command line cannot be run, in one line.
    Failure refusal;

    // The starting values, those of the window unless given.
    bool startValuesGiven = false;
    StartValues start;

    // Batch mode: a picture to write (PNG, SVG or PDF by its suffix; a PNG scale times the size),
    // the list of solutions or their count on standard output, or both.
    QString exportPath;
    int scale = 1;
    bool list = false;
    bool count = false;
    Format format = Format::Csv;
    // The list or count: in whole numbers (else by the window's rule), legs 1..maxLeg, and
    // only the primitive solutions.
    bool exact = false;
    int maxLeg = 100;
    bool primitiveOnly = false;
    // The exact search: worker threads (0: every core the process may use) and the first leg's
    // range (0..0: 1..maxLeg).
    int threads = 0;
    int firstLeg = 0;
    int lastLeg = 0;
    // --exact --count --deviation A..B[:S]: one count for each deviation of the range.
    std::optional<DeviationRange> deviations;

    // --map: the map alone, or its picture written without a window (Mode::Batch).
    bool map = false;
    MapOptions mapOptions;

    // Qt's -platform, for the check that the window can have a display.
    QString platform;

    // The arguments as the program got them, the program's name first. Qt takes them for UTF-8
    // text; one that is not (a file name in another encoding, say) would name another file once
    // decoded, and is refused.
    static CommandLine parse(const QList<QByteArray> &arguments);
    static CommandLine parse(int argc, char *argv[]);
    // The text of --help, ending with the keys of the windows.
    static QString helpText(const QString &keys);

    // The text with its control characters written as escapes (\x1b, \n), fit to be shown on
    // a terminal.
    static QString printable(const QString &text);
};
