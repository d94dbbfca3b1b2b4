#pragma once

#include "map/framesearch.h"
#include "numbers/deviationrange.h"

#include <QObject>
#include <QTimer>
#include <map>
#include <memory>
#include <optional>

// Plays the deviations of a range like a film, each frame the whole exact map of one d. The
// frames are made ahead on worker threads (FrameSearch) while one is shown, and a few are kept
// behind for a step back. A frame is shown only once complete, and the next one only once the
// window says the last is drawn (frameDrawn) and the frame's time at the chosen speed is over:
// every frame the user sees is a whole map, however fast the speed.
class DeviationPlayer : public QObject {
    Q_OBJECT

public:
    explicit DeviationPlayer(QObject *parent = nullptr);

    // A new range or new maps (N, the filter) drop every frame and stop.
    void setRange(const DeviationRange &range);
    void setQuery(std::uint32_t maxLeg, bool primitiveOnly);
    const std::optional<DeviationRange> &range() const { return m_range; }
    // Frames a second; 0 as fast as they come.
    void setSpeed(double framesPerSecond);

    void play();
    void pause();
    bool playing() const { return m_playing; }
    // Pauses and shows the next (1) or previous (−1) deviation of the range.
    void step(int direction);
    // The place in the range of the frame shown last, if any.
    std::optional<std::int64_t> position() const { return m_position; }

    // The window has drawn the frame shown last.
    void frameDrawn();

signals:
    void frameShown(std::int64_t index, std::shared_ptr<const MapBlock> block);
    // Playing or paused, or the position moved.
    void stateChanged();

private:
    void take(std::int64_t index, std::shared_ptr<const MapBlock> block);
    void show(std::int64_t index);
    void advance();
    void makeAhead();
    void dropAll();

    FrameSearch m_search;
    QTimer m_frameTime;
    std::optional<DeviationRange> m_range;
    MapSearch::Query m_query;
    std::map<std::int64_t, std::shared_ptr<const MapBlock>> m_frames;
    std::optional<std::int64_t> m_position;
    std::optional<std::int64_t> m_wanted; // a step waits for its frame
    bool m_playing = false;
    bool m_due = true;
    bool m_drawn = true;
};
