#pragma once

#include <QString>
#include <QStringList>
#include <array>

// What the command line asks for. It is read without a running application, so that help,
// version, a bad option and the batch modes need no display; Qt's own options (-platform,
// -style, ...) are accepted here and left to the application object.
struct CommandLine {
    enum class Mode { Window, Help, Version, Batch, Error };
    enum class Format { Csv, Json };

    Mode mode = Mode::Window;
    QString error; // one line, for Mode::Error
    QString helpText;

    // The starting values, those of the window unless given.
    bool startValuesGiven = false;
    QString deviationText = QStringLiteral("0");
    int radius = 25;
    std::array<int, 4> segment{1, 1, 100, 100};

    // Batch mode: a PNG file to write, the list of solutions on standard output, or both.
    QString exportPath;
    bool list = false;
    Format format = Format::Csv;

    static CommandLine parse(const QStringList &arguments);
};
