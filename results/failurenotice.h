#pragma once

#include "results/failure.h"

class QWidget;

// A failure shown to the user of a window: a warning box over the window, shown without waiting,
// so that nothing that runs the window stops on it.
namespace FailureNotice {

void show(QWidget &parent, const Failure &failure, const QString &title);

} // namespace FailureNotice
