#pragma once

#include "results/failure.h"

#include <QString>

class QFont;

// What the program makes sure of at the start, so that a start that cannot work ends with one
// German line on standard error and exit status 1 rather than a crash, an abort with Qt's English
// text, or a run that eats the machine's memory.
namespace StartChecks {

// Before the application object: the window needs a display, and none is named when neither
// DISPLAY nor WAYLAND_DISPLAY is set and no platform is asked for (-platform, QT_QPA_PLATFORM).
Failure missingDisplay(const QString &platformOption);

// Around the application object's construction: a platform that cannot be had after all (an X
// server that is not there, a missing or broken plugin) ends the program with one German line and
// status 1, where Qt would abort. Qt's own remarks meanwhile are not shown; they are English and
// precede the abort.
void catchPlatformFailure();
void platformStarted();

// After the application object, before the window: the scale factor of every screen (Qt takes it
// from QT_SCALE_FACTOR, which a PNG's --scale multiplies) must be a number above 0 and keep the
// plot within PictureFormat::largestSide. factorText is QT_SCALE_FACTOR as the user set it, and
// scale the --scale, to say where the factor comes from.
Failure scaleProblem(const QString &factorText, int scale);

// A warning when fontconfig matches no face with digits to the canvas font: every label would be
// an empty box.
Failure missingFont(const QFont &font);

} // namespace StartChecks
