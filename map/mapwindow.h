#pragma once

#include "map/deviationplayer.h"
#include "map/familylayer.h"
#include "map/mapblock.h"
#include "map/mapframe.h"
#include "map/mapsearch.h"
#include "map/mapstore.h"

#include <QMainWindow>
#include <QPoint>
#include <QTimer>
#include <gmpxx.h>
#include <memory>
#include <optional>

class ComparePane;
class CountChart;
class FamilyPanel;
class MapTriangle;
class MapView;
class PlayControls;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

// The map: every exact solution of x² + y² = z² + d with legs 1..N, N up to a million, searched in
// the background and shown as it arrives. Its own deviation (read exactly as written, with − and +
// steps), range and filter; the map follows each change at once. Beside the plot the selected
// cell with its triangle and equation, its families, and the counts in 1..N and in view; below,
// the cell under the pointer. The window can be resized and maximised, and the plot fills it.
//
// It explores as well: the film plays the deviations of a range frame by frame, each frame a
// whole map (DeviationPlayer), while a chart beside it plots the count against d; a second pane
// compares another deviation, zoomed and panned with the first; printing offers the film's
// deviations as a handout.
class MapWindow : public QMainWindow {
    Q_OBJECT

public:
    explicit MapWindow(const QString &deviationText, std::uint32_t maxLeg = 1000,
                       bool primitiveOnly = false, QWidget *parent = nullptr);
    ~MapWindow() override;
    MapWindow(const MapWindow &) = delete;
    MapWindow &operator=(const MapWindow &) = delete;

    // As if typed into the deviation field and confirmed.
    void setDeviation(const QString &text);
    // The map's keys, one per line, for the command line's help.
    static QString keysText();

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void buildControls();
    void buildMenus();
    void applyDeviation();
    // Before d becomes text: the second pane keeps −d beside d as d changes, until it is given a
    // deviation of its own.
    void followInCompare(const QString &text, const std::optional<mpz_class> &value);
    void stepDeviation(int step);
    void applyMaxLeg();
    void startSearch(bool newRange);
    void showFrame(std::int64_t index, const std::shared_ptr<const MapBlock> &block);
    void showTitle();
    void chartCount();
    void showFaint();
    void setComparing(bool on);
    void rangeChanged();
    void followView(const MapView &leader, MapView &follower);
    std::vector<FamilyLayer::Selected> familiesOf(std::uint32_t x, std::uint32_t y,
                                                  const mpz_class &z) const;
    void takeBlock(const std::shared_ptr<const MapBlock> &block);
    void searchEnded(std::uint64_t generation, bool complete);
    void showCounts();
    void showSelection();
    void showPointer(std::optional<QPoint> cell);
    void showNote();
    void markField(QLineEdit &field, const QString &problem);
    MapArea pictureArea() const;

    MapSearch m_search;
    DeviationPlayer m_player;
    std::unique_ptr<MapStore> m_store;
    // The store of a new deviation until its first block arrives: the last map stays till then.
    std::unique_ptr<MapStore> m_next;

    QString m_deviationText;
    std::optional<mpz_class> m_deviation;
    bool m_whole = true;
    std::uint32_t m_maxLeg;
    bool m_primitiveOnly;
    QString m_problem;
    bool m_cancelled = false;

    QLineEdit *m_deviationField = nullptr;
    QLineEdit *m_maxField = nullptr;
    QComboBox *m_filter = nullptr;
    QProgressBar *m_progress = nullptr;
    QPushButton *m_cancel = nullptr;
    QLabel *m_note = nullptr;
    MapView *m_view = nullptr;
    MapTriangle *m_triangle = nullptr;
    QLabel *m_selectionTitle = nullptr;
    QLabel *m_selectionEquation = nullptr;
    QLabel *m_selectionDetails = nullptr;
    QLabel *m_viewRange = nullptr;
    QLabel *m_counts[5][2] = {};
    QLabel *m_pointer = nullptr;
    QTimer m_countsLater;
    PlayControls *m_play = nullptr;
    CountChart *m_chart = nullptr;
    FamilyPanel *m_familyPanel = nullptr;
    ComparePane *m_compare = nullptr;
    QCheckBox *m_comparing = nullptr;
    QLabel *m_caption = nullptr;
    // The panes follow each other's view; the one that follows does not lead back.
    bool m_following = false;
    // The second pane follows the first once it has its size; until then it leads nothing.
    bool m_compareSynced = false;
    // The selection, d, N and filter the families beside the map were found for.
    QString m_familiesFor;
};
