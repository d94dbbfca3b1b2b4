#pragma once

#include "map/mapblock.h"
#include "map/mapsearch.h"
#include "map/threadpost.h"

#include <QObject>
#include <cstdint>
#include <map>
#include <memory>
#include <thread>

// Whole maps of single deviations, each made on a worker thread of its own and handed over as
// one block once complete, for frames that are shown only when whole: the deviations of a film
// made ahead of the one shown, the pages of a handout. At most as many run at once as the process
// has processors. As in MapSearch, a worker touches nothing of this object's but its address, to
// post its block to it; what crosses is the stop and the finished block, which never
// changes once sent.
class FrameSearch : public QObject {
    Q_OBJECT

public:
    explicit FrameSearch(QObject *parent = nullptr);
    ~FrameSearch() override;
    FrameSearch(const FrameSearch &) = delete;
    FrameSearch &operator=(const FrameSearch &) = delete;

    // Starts the map of the query, to be told by frameReady under the key; false when every
    // thread is busy.
    bool start(std::int64_t key, const MapSearch::Query &query);
    // Cancels every map in the making; nothing of theirs is told any more.
    void clear();
    bool busy() const { return m_workers.size() >= m_threads; }
    std::size_t threads() const { return m_threads; }
    bool making(std::int64_t key) const;

signals:
    // The block's generation is its own, for the store that takes it.
    void frameReady(std::int64_t key, std::shared_ptr<const MapBlock> block);
    // A thread is free for the next map.
    void threadFreed();

private:
    struct Worker {
        std::jthread thread;
        std::int64_t key = 0;
    };
    void retire(std::uint64_t id);

    std::size_t m_threads;
    std::uint64_t m_nextId = 0;
    // Before the workers, so that it outlives them: they post to it until they end.
    ThreadPost m_post;
    std::map<std::uint64_t, Worker> m_workers;
};
