#pragma once

// Helpers for the tests of the map and its explorer: finding their controls, waiting for a search
// to end, and typing into a field as a user does.

#include "map/mapwindow.h"

#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

namespace TestSupport {

template <typename T> T *child(const QObject &parent, const char *name) {
    T *found = parent.findChild<T *>(QLatin1String(name));
    if (found == nullptr)
        qFatal("%s not found", name);
    return found;
}

// The search has ended and run to its end.
inline bool searchDone(const MapWindow &window) {
    const auto *progress = child<QProgressBar>(window, "progress");
    return !child<QPushButton>(window, "cancel")->isEnabled() &&
           progress->value() == progress->maximum();
}

inline void enter(QLineEdit *field, const QString &text) {
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, text);
    QTest::keyClick(field, Qt::Key_Return);
}

} // namespace TestSupport
