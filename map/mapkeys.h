#pragma once

#include "map/handout.h"
#include "map/mappicture.h"

#include <QKeySequence>
#include <QObject>
#include <QSize>
#include <QString>
#include <functional>

class QMenu;
class QWidget;

// The keys that take the map's picture out of its window: saved as PNG, SVG or PDF at the view's
// pixels or at a chosen size, copied to the clipboard, printed (or the handout, a page for each
// deviation of the film); and closing the window. Each is
// an action of the window in its menu, and one list feeds the keys and the text that names them.
class MapKeys : public QObject {
    Q_OBJECT

public:
    // What the map shows now: its picture, the picture's size at which the plot has the view's
    // pixels, and d as written, for the file's name.
    struct Shown {
        MapPicture picture;
        QSize size;
        QString deviationText;
        // The film's deviations as a handout, which printing offers beside the picture.
        std::optional<Handout> handout;
    };
    using Source = std::function<Shown()>;

    MapKeys(QWidget &window, QMenu &menu, Source shown);

    // The keys and what each does, one per line.
    static QString listText();

private:
    void save(bool chooseSize);
    void copy();
    void print();
    void reportFailure(const Failure &failure, const QString &title);

    QWidget &m_window;
    Source m_shown;
};
