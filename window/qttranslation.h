#pragma once

class QCoreApplication;

// Makes Qt's own texts German: the standard context menus of text boxes and scroll bars, the
// buttons of message boxes, key names. The program's interface is German whatever the user's
// locale, so Qt's German translation (qtbase_de.qm, in Qt's translations folder) is loaded for
// every locale. The translator belongs to the application. Returns whether it was found and
// installed; without it Qt's texts stay English.
bool installQtGermanTranslation(QCoreApplication &app);
