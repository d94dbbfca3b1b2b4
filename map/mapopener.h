#pragma once

#include <QKeySequence>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class MapWindow;
class QWidget;

// Strg+M on a window opens the map, or brings it to the front, with the deviation the window
// names: a key that nothing in the window uses, an action of the window so that the window's
// list of keys names it.
class MapOpener : public QObject {
    Q_OBJECT

public:
    using DeviationSource = std::function<QString()>;

    MapOpener(QWidget &window, DeviationSource deviation);
    ~MapOpener() override;

    static QKeySequence key() { return QKeySequence(Qt::CTRL | Qt::Key_M); }
    // "Strg+M: Karte der Lösungen öffnen", as the lists of keys have it.
    static QString listText();

    void open();
    MapWindow *map() const { return m_map.get(); }

private:
    DeviationSource m_deviation;
    std::unique_ptr<MapWindow> m_map;
};
