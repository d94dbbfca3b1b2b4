#include "map/framesearch.h"

#include "numbers/exactsearch.h"

namespace {

// Apart from the generations of MapSearch, so that no block of one is ever taken for the other's.
constexpr std::uint64_t frameGenerations = std::uint64_t{1} << 63;

} // namespace

FrameSearch::FrameSearch(QObject *parent)
    : QObject(parent), m_threads(ExactSearch::availableCores()) {}

FrameSearch::~FrameSearch() {
    for (auto &[id, worker] : m_workers)
        worker.thread.request_stop();
    // The jthreads join as the workers go.
}

bool FrameSearch::making(std::int64_t key) const {
    for (const auto &[id, worker] : m_workers)
        if (worker.key == key && !worker.thread.get_stop_token().stop_requested())
            return true;
    return false;
}

bool FrameSearch::start(std::int64_t key, const MapSearch::Query &query) {
    if (busy())
        return false;
    const std::uint64_t id = ++m_nextId;
    // Frames are made side by side, one thread each.
    MapSearch::Query single = query;
    single.threads = 1;
    std::jthread thread([this, id, key, single](std::stop_token stop) {
        std::shared_ptr<const MapBlock> block =
            MapSearch::whole(single, frameGenerations | id, stop);
        m_post.post([this, id, key, block = std::move(block), stop] {
            // Asked before the worker goes: its end stops it, too.
            const bool wanted = block && !stop.stop_requested();
            retire(id);
            if (wanted)
                emit frameReady(key, block);
            emit threadFreed();
        });
    });
    m_workers.emplace(id, Worker{std::move(thread), key});
    return true;
}

void FrameSearch::clear() {
    for (auto &[id, worker] : m_workers)
        worker.thread.request_stop();
}

// The worker has posted its last word and is about to end.
void FrameSearch::retire(std::uint64_t id) {
    const auto worker = m_workers.find(id);
    if (worker == m_workers.end())
        return;
    worker->second.thread.join();
    m_workers.erase(worker);
}
