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
        worker.cancelled->store(true);
    for (auto &[generation, worker] : m_workers)
        worker.thread.join();
}

void MapSearch::run(const Query &query, std::uint64_t generation, const std::atomic<bool> &cancel,
                    const BlockSink &sink, const std::function<void(double)> &progress,
                    int intervalMs) {
    MapBlockBuilder builder(query.maxLeg, generation, query.primitiveOnly);
    QElapsedTimer sinceBlock;
    sinceBlock.start();
    QElapsedTimer sinceProgress;
    sinceProgress.start();
    if (query.deviation) {
        const auto rows = [&](std::span<const ExactSearch::Row> found) {
            if (cancel.load(std::memory_order_relaxed))
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
        ExactSearch(*query.deviation, query.maxLeg).run(rows, told, ExactSearch::Order::Search);
    }
    if (!cancel.load())
        sink(builder.take(true));
}

void MapSearch::runHere(const Query &query, std::uint64_t generation, const BlockSink &sink) {
    const std::atomic<bool> never{false};
    // Blocks as soon as whole columns are done: nobody looks at them before the end, but the rows
    // wait in the builder at twice their size.
    run(
        query, generation, never, sink, [](double) {}, 0);
}

std::shared_ptr<const MapBlock> MapSearch::whole(const Query &query, std::uint64_t generation,
                                                 const std::atomic<bool> &cancel) {
    std::shared_ptr<const MapBlock> last;
    // No block is cut before the end: the whole map is one block.
    run(
        query, generation, cancel, [&last](std::shared_ptr<const MapBlock> block) { last = block; },
        [](double) {}, std::numeric_limits<int>::max());
    return cancel.load() ? nullptr : last;
}

std::uint64_t MapSearch::start(const Query &query) {
    cancel();
    const std::uint64_t generation = ++m_generation;
    m_running = true;
    auto cancelled = std::make_shared<std::atomic<bool>>(false);
    // The worker touches nothing of this object's but its address, to post to it.
    std::thread thread([this, query, generation, cancelled] {
        const auto sink = [this, generation](std::shared_ptr<const MapBlock> block) {
            QMetaObject::invokeMethod(
                this,
                [this, generation, block = std::move(block)] {
                    if (generation == m_generation)
                        emit blockReady(block);
                },
                Qt::QueuedConnection);
        };
        const auto progress = [this, generation](double done) {
            QMetaObject::invokeMethod(
                this,
                [this, generation, done] {
                    if (generation == m_generation)
                        emit progressed(done);
                },
                Qt::QueuedConnection);
        };
        run(query, generation, *cancelled, sink, progress, blockIntervalMs);
        const bool complete = !cancelled->load();
        QMetaObject::invokeMethod(
            this,
            [this, generation, complete] {
                retire(generation);
                if (generation == m_generation) {
                    m_running = false;
                    emit finished(generation, complete);
                }
            },
            Qt::QueuedConnection);
    });
    m_workers.emplace(generation, Worker{std::move(thread), std::move(cancelled)});
    return generation;
}

void MapSearch::cancel() {
    const auto current = m_workers.find(m_generation);
    if (current != m_workers.end())
        current->second.cancelled->store(true);
}

// The worker has posted its last word and is about to end.
void MapSearch::retire(std::uint64_t generation) {
    const auto worker = m_workers.find(generation);
    if (worker == m_workers.end())
        return;
    worker->second.thread.join();
    m_workers.erase(worker);
}
