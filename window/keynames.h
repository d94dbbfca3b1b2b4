#pragma once

#include <QKeySequence>
#include <QList>
#include <QString>

class QAction;

// Keys as the program names them, in German whatever the language of the desktop.
namespace KeyNames {

// "Strg+Umschalt+C" for Ctrl+Shift+C.
QString german(const QKeySequence &keys);

// One line per key and what it does: "Strg+S: Bild speichern\n".
QString line(const QKeySequence &keys, const QString &what);

// The lines of the actions that have a key, in their order.
QString list(const QList<QAction *> &actions);

} // namespace KeyNames
