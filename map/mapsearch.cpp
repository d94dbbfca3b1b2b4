#include "map/mapsearch.h"

#include "map/mapblockbuilder.h"
#include "numbers/exactsearch.h"

#include <QElapsedTimer>
#include <limits>

namespace {

// A block is cut at most this often: the map repaints for each, and a few dozen a second look
// like a steady fill.
constexpr int blockIntervalMs = 40;
constexpr int progressIntervalMs = 50;

} // namespace

MapSearch::MapSearch(QObject *parent) : QObject(parent) {}

MapSearch::~MapSearch() {
    for (auto &[generation, worker] : m_workers)
        worker.request_stop();
    // The jthreads join as the map goes.
}

void MapSearch::run(const Query &query, std::uint64_t generation, const std::stop_token &stop,
                    const BlockSink &sink, const std::function<void(double)> &progress,
                    int intervalMs) {
    MapBlockBuilder builder(query.maxLeg, generation, query.primitiveOnly);
    QElapsedTimer sinceBlock;
    sinceBlock.start();
    QElapsedTimer sinceProgress;
    sinceProgress.start();
    if (query.deviation) {
        const auto rows = [&](std::span<const ExactSearch::Row> found) {
            if (stop.stop_requested())
                return false;
            builder.add(found);
            if (sinceBlock.elapsed() >= intervalMs) {
                if (std::shared_ptr<const MapBlock> block = builder.take(false)) {
                    sink(std::move(block));
                    sinceBlock.restart();
                }
            }
            return true;
        };
        const auto told = [&](double done) {
            if (sinceProgress.elapsed() >= progressIntervalMs) {
                progress(done);
                sinceProgress.restart();
            }
        };
        ExactSearch search(*query.deviation, query.maxLeg);
        if (query.threads > 0)
            search.setThreads(query.threads);
        search.run(rows, told, ExactSearch::Order::Search, stop);
    }
    if (!stop.stop_requested())
        sink(builder.take(true));
}

void MapSearch::runHere(const Query &query, std::uint64_t generation, const BlockSink &sink) {
    // Blocks as soon as whole columns are done: nobody looks at them before the end, but the rows
    // wait in the builder at twice their size.
    run(
        query, generation, {}, sink, [](double) {}, 0);
}

std::shared_ptr<const MapBlock> MapSearch::whole(const Query &query, std::uint64_t generation,
                                                 std::stop_token stop) {
    std::shared_ptr<const MapBlock> last;
    // No block is cut before the end: the whole map is one block.
    run(
        query, generation, stop, [&last](std::shared_ptr<const MapBlock> block) { last = block; },
        [](double) {}, std::numeric_limits<int>::max());
    return stop.stop_requested() ? nullptr : last;
}

std::uint64_t MapSearch::start(const Query &query) {
    cancel();
    const std::uint64_t generation = ++m_generation;
    m_running = true;
    // The worker touches nothing of this object's but the post, which takes work from any thread.
    std::jthread thread([this, query, generation](std::stop_token stop) {
        const auto sink = [this, generation](std::shared_ptr<const MapBlock> block) {
            m_post.post([this, generation, block = std::move(block)] {
                if (generation == m_generation)
                    emit blockReady(block);
            });
        };
        const auto progress = [this, generation](double done) {
            m_post.post([this, generation, done] {
                if (generation == m_generation)
                    emit progressed(done);
            });
        };
        run(query, generation, stop, sink, progress, blockIntervalMs);
        const bool complete = !stop.stop_requested();
        m_post.post([this, generation, complete] {
            retire(generation);
            if (generation == m_generation) {
                m_running = false;
                emit finished(generation, complete);
            }
        });
    });
    m_workers.emplace(generation, std::move(thread));
    return generation;
}

void MapSearch::cancel() {
    const auto current = m_workers.find(m_generation);
    if (current != m_workers.end())
        current->second.request_stop();
}

// The worker has posted its last word and is about to end.
void MapSearch::retire(std::uint64_t generation) {
    const auto worker = m_workers.find(generation);
    if (worker == m_workers.end())
        return;
    m_workers.erase(worker); // joins it
}
