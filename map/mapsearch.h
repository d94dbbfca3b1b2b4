#pragma once

#include "map/mapblock.h"
#include "map/threadpost.h"

#include <QObject>
#include <cstdint>
#include <functional>
#include <gmpxx.h>
#include <map>
#include <memory>
#include <optional>
#include <stop_token>
#include <thread>

// The map's exact search, on a thread of its own so that the map answers while it runs. Each
// search has a generation; a new one cancels the one before at once (its stop reaches the exact
// search's own workers within a block of legs), and what a cancelled search still sends is dropped
// here, before anyone sees it. Between the threads there is nothing but the stop and finished
// blocks, which never change once sent.
class MapSearch : public QObject {
    Q_OBJECT

public:
    struct Query {
        // Nothing for a deviation that is not whole, which has no solutions.
        std::optional<mpz_class> deviation;
        std::uint32_t maxLeg = 1000;
        bool primitiveOnly = false;
        // Worker threads of the search; 0 for every core the process may use.
        unsigned threads = 0;
    };
    using BlockSink = std::function<void(std::shared_ptr<const MapBlock>)>;

    explicit MapSearch(QObject *parent = nullptr);
    ~MapSearch() override;
    MapSearch(const MapSearch &) = delete;
    MapSearch &operator=(const MapSearch &) = delete;

    // Cancels the running search and starts this one; gives its generation.
    std::uint64_t start(const Query &query);
    // Stops the running search; what it found so far stays.
    void cancel();
    bool running() const { return m_running; }
    std::uint64_t generation() const { return m_generation; }

    // The whole search on the calling thread, for a caller that has no map to keep answering.
    static void runHere(const Query &query, std::uint64_t generation, const BlockSink &sink);
    // The whole map of the query as one block, on the calling thread (a worker's, for frames
    // made ahead); nothing when a stop was requested before the search ended.
    static std::shared_ptr<const MapBlock> whole(const Query &query, std::uint64_t generation,
                                                 std::stop_token stop);

signals:
    // Only blocks of the current generation, in the order of the columns.
    void blockReady(std::shared_ptr<const MapBlock> block);
    void progressed(double done);
    // complete: the search ran to its end rather than being cancelled.
    void finished(std::uint64_t generation, bool complete);

private:
    static void run(const Query &query, std::uint64_t generation, const std::stop_token &stop,
                    const BlockSink &sink, const std::function<void(double)> &progress,
                    int intervalMs);
    void retire(std::uint64_t generation);

    std::uint64_t m_generation = 0;
    bool m_running = false;
    // Before the workers, so that it outlives them: they post to it until they end.
    ThreadPost m_post;
    // A search's thread; a stop it is asked for reaches the engine's workers too.
    std::map<std::uint64_t, std::jthread> m_workers;
};
