#pragma once

#include "finder/segmentlines.h"

#include <QString>

class Form1;

// The values a window starts with: the design's unless the command line gives others.
struct StartValues {
    QString deviationText = QStringLiteral("0");
    int radius = 25;
    Segment segment{1, 1, 100, 100};

    // Puts the values into the window's controls as a user would: the deviation box gets the
    // text, the radius bar and the four segment bars their values (each change runs its chain),
    // and a search follows.
    void applyTo(Form1 &form) const;
};
