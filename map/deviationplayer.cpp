#include "map/deviationplayer.h"

#include <algorithm>
#include <cmath>

namespace {

// Frames kept behind the one shown, for a step back at once.
constexpr std::int64_t behind = 1;
// Frames made ahead beyond one for each thread, so that a thread that finishes finds work.
constexpr std::int64_t spareAhead = 1;

} // namespace

DeviationPlayer::DeviationPlayer(QObject *parent) : QObject(parent) {
    m_frameTime.setSingleShot(true);
    m_frameTime.setInterval(100);
    connect(&m_frameTime, &QTimer::timeout, this, [this] {
        m_due = true;
        advance();
    });
    connect(&m_search, &FrameSearch::frameReady, this, &DeviationPlayer::take);
    connect(&m_search, &FrameSearch::threadFreed, this, &DeviationPlayer::makeAhead);
}

void DeviationPlayer::setRange(const DeviationRange &range) {
    pause();
    m_range = range;
    m_position.reset();
    dropAll();
    emit stateChanged();
}

void DeviationPlayer::setQuery(std::uint32_t maxLeg, bool primitiveOnly) {
    if (maxLeg == m_query.maxLeg && primitiveOnly == m_query.primitiveOnly)
        return;
    pause();
    m_query.maxLeg = maxLeg;
    m_query.primitiveOnly = primitiveOnly;
    dropAll();
}

void DeviationPlayer::setSpeed(double framesPerSecond) {
    m_frameTime.setInterval(
        framesPerSecond > 0 ? static_cast<int>(std::lround(1000 / framesPerSecond)) : 0);
}

void DeviationPlayer::dropAll() {
    m_search.clear();
    m_frames.clear();
    m_wanted.reset();
}

void DeviationPlayer::play() {
    if (!m_range || m_playing)
        return;
    // From the end, the film starts again.
    if (m_position && *m_position + 1 >= m_range->count())
        m_position.reset();
    m_playing = true;
    m_due = true;
    makeAhead();
    advance();
    emit stateChanged();
}

void DeviationPlayer::pause() {
    if (!m_playing)
        return;
    m_playing = false;
    m_frameTime.stop();
    emit stateChanged();
}

void DeviationPlayer::step(int direction) {
    if (!m_range)
        return;
    pause();
    const std::int64_t target =
        std::clamp<std::int64_t>(m_position ? *m_position + direction : 0, 0, m_range->count() - 1);
    if (m_position && target == *m_position)
        return;
    m_wanted = target;
    if (m_frames.contains(target))
        show(target);
    else
        makeAhead();
}

void DeviationPlayer::frameDrawn() {
    m_drawn = true;
    advance();
}

void DeviationPlayer::take(std::int64_t index, std::shared_ptr<const MapBlock> block) {
    m_frames[index] = std::move(block);
    if (m_wanted && *m_wanted == index)
        show(index);
    else
        advance();
}

void DeviationPlayer::show(std::int64_t index) {
    m_position = index;
    m_wanted.reset();
    m_drawn = false;
    m_due = false;
    if (m_playing)
        m_frameTime.start();
    m_frames.erase(m_frames.begin(), m_frames.lower_bound(index - behind));
    emit frameShown(index, m_frames.at(index));
    emit stateChanged();
    makeAhead();
}

// The next frame, once its time is over, the last one is drawn and it is made.
void DeviationPlayer::advance() {
    if (!m_playing || !m_due || !m_drawn || !m_range)
        return;
    const std::int64_t next = m_position ? *m_position + 1 : 0;
    if (next >= m_range->count()) {
        pause();
        return;
    }
    if (m_frames.contains(next))
        show(next);
}

// Keeps the threads busy with the frames that come next: the one a step waits for, those ahead
// while playing, and the neighbours of a paused frame for the next step.
void DeviationPlayer::makeAhead() {
    if (!m_range)
        return;
    std::vector<std::int64_t> wanted;
    if (m_wanted)
        wanted.push_back(*m_wanted);
    const std::int64_t count = m_range->count();
    if (m_playing) {
        const std::int64_t from = m_position ? *m_position + 1 : 0;
        const auto ahead = static_cast<std::int64_t>(m_search.threads()) + spareAhead;
        for (std::int64_t i = from; i < std::min(count, from + ahead); ++i)
            wanted.push_back(i);
    } else if (m_position) {
        if (*m_position + 1 < count)
            wanted.push_back(*m_position + 1);
        if (*m_position > 0)
            wanted.push_back(*m_position - 1);
    }
    for (const std::int64_t index : wanted) {
        if (m_frames.contains(index) || m_search.making(index))
            continue;
        MapSearch::Query query = m_query;
        query.deviation = m_range->at(index);
        if (!m_search.start(index, query))
            break;
    }
}
