#pragma once

#include "results/failure.h"

#include <QKeySequence>
#include <QObject>
#include <QStandardPaths>
#include <QString>
#include <functional>

class Form1;
class PlotPicture;

// The keys that take results out of the window: the plot saved as PNG, SVG or PDF, copied to the
// clipboard or printed, the solutions of the last search saved as CSV, and quitting. Each is an
// action of the window with its key, so one list feeds the keys and the text that names them. No
// control of the window answers any of these keys, so they work wherever the focus is.
class WindowKeys : public QObject {
    Q_OBJECT

public:
    explicit WindowKeys(Form1 &form);

    // The keys and what each does, one per line, as the information box and the command-line
    // help list them.
    static QString listText();

    // Asks where to save; a file dialog unless something else answers in its place. An empty
    // answer saves nothing.
    using FileChooser = std::function<QString(const QString &title, const QString &suggestedPath,
                                              const QString &filters)>;
    void setFileChooser(FileChooser chooser) { m_chooseFile = std::move(chooser); }

private:
    struct Key {
        QKeyCombination keys;
        const char *what;
        void (WindowKeys::*action)();
    };
    static const Key keys[];

    // The window's plot as it leaves the window.
    PlotPicture plot() const;
    void savePicture();
    void copyPicture();
    void printPicture();
    void saveSolutions();
    void quit();
    QString chooseFile(const QString &title, QStandardPaths::StandardLocation folder,
                       const QString &suffix, const QString &filters) const;
    void reportFailure(const Failure &failure,
                       const QString &title = QStringLiteral("Nicht gespeichert"));

    Form1 &m_form;
    FileChooser m_chooseFile;
};
