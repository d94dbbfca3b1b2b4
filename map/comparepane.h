#pragma once

#include "map/mapblock.h"
#include "map/mapsearch.h"
#include "map/mapstore.h"

#include <QPoint>
#include <QString>
#include <QWidget>
#include <gmpxx.h>
#include <memory>
#include <optional>

class MapView;
class QLabel;
class QLineEdit;

// The second pane of the compare mode: the map of a second deviation (−d by default) beside
// the first, over the same legs and filter, searched in the background as the first is, and its
// counts. Its plot zooms and pans with the first (the window ties the two views together). The
// field of its deviation stands among the window's controls, so that both panes are of one height.
class ComparePane : public QWidget {
    Q_OBJECT

public:
    ComparePane(QLineEdit &field, QWidget *parent = nullptr);

    MapView &view() const { return *m_view; }
    // A new range or filter searches the second deviation again.
    void setRange(std::uint32_t maxLeg, bool primitiveOnly);
    // As if typed into the pane's deviation field and confirmed.
    void setDeviation(const QString &text);
    QString deviationText() const { return m_deviationText; }
    const std::optional<mpz_class> &deviation() const { return m_deviation; }
    // Stops the search, as when the window closes; resume searches again unless it was complete.
    void stop() { m_search.cancel(); }
    void resume();
    // Updates the counts line after the view moved.
    void showCounts();

    // "d = −1: 29 Lösungen, davon 29 primitiv, im Ausschnitt 12", the line above each pane, for
    // d as shown and the store's solutions in the cells in view.
    static QString countsLine(const QString &deviation, const MapStore &store, const MapView &view,
                              bool primitiveOnly);

signals:
    // The status line's text for the cell under the pointer, empty when it left the plot.
    void pointerText(const QString &text);
    // A search of a new deviation, range or filter has started.
    void searchStarted();
    // Why the field's text is no deviation, or empty once it is one.
    void problem(const QString &text);

private:
    void applyDeviation();
    void startSearch();
    void takeBlock(const std::shared_ptr<const MapBlock> &block);
    void searchEnded(std::uint64_t generation);
    void showPointer(std::optional<QPoint> cell);

    MapSearch m_search;
    std::unique_ptr<MapStore> m_store;
    std::unique_ptr<MapStore> m_next;
    QString m_deviationText = QStringLiteral("0");
    std::optional<mpz_class> m_deviation = mpz_class(0);
    std::uint32_t m_maxLeg = 1000;
    bool m_primitiveOnly = false;
    QLineEdit &m_field;
    QLabel *m_counts = nullptr;
    MapView *m_view = nullptr;
};
