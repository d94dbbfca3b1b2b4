#pragma once

#include "numbers/deviationrange.h"

#include <QSize>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>

struct MapOptionsReading;

// What the command line asks of the map: the window alone, or a picture of it written without a
// display. The readers of --view and --size follow the command line's rules: whole numbers by
// their text, nothing else in the argument.
struct MapOptions {
    static constexpr std::uint32_t largestMax = 1'000'000;
    static constexpr std::uint32_t defaultMax = 1000;

    QString deviationText = QStringLiteral("0");
    // --deviation A..B[:S] with --export FILE.pdf: the handout, a page for each deviation.
    std::optional<DeviationRange> deviations;
    std::uint32_t maxLeg = defaultMax;
    bool primitiveOnly = false;

    // The picture: its file (PNG, SVG or PDF by the suffix), the cells it shows (X0, Y0, X1, Y1;
    // all of 1..N unless given), its size, the device pixels to each of its pixels, and for
    // --plain one pixel per cell, scale × scale.
    QString exportPath;
    std::optional<std::array<std::uint32_t, 4>> view;
    std::optional<QSize> size;
    int scale = 1;
    bool plain = false;

    // The options beside --map, each given by its name without the dashes: its value when it was
    // given (empty for a flag), nothing when not. The deviation is read and a number already. With
    // a problem, one German line and no options.
    using Given = std::function<std::optional<QString>(const char *name)>;
    static MapOptionsReading read(const QString &deviationText, const Given &given);

    // X0,Y0,X1,Y1 with 1 ≤ X0 ≤ X1 ≤ N, 1 ≤ Y0 ≤ Y1 ≤ N.
    static std::optional<std::array<std::uint32_t, 4>> readView(const QString &text,
                                                                std::uint32_t maxLeg);
    // W,H, each 1..16384.
    static std::optional<QSize> readSize(const QString &text);
    // The cells of the picture, x0, y0, x1, y1.
    std::array<std::uint32_t, 4> cells() const;
};

struct MapOptionsReading {
    QString problem;
    MapOptions options;
};
