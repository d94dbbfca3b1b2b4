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
        worker.cancelled->store(true);
    for (auto &[id, worker] : m_workers)
        worker.thread.join();
}

bool FrameSearch::making(std::int64_t key) const {
    for (const auto &[id, worker] : m_workers)
        if (worker.key == key && !worker.cancelled->load())
            return true;
    return false;
}

bool FrameSearch::start(std::int64_t key, const MapSearch::Query &query) {
    if (busy())
        return false;
    const std::uint64_t id = ++m_nextId;
    auto cancelled = std::make_shared<std::atomic<bool>>(false);
    std::thread thread([this, id, key, query, cancelled] {
        std::shared_ptr<const MapBlock> block =
            MapSearch::whole(query, frameGenerations | id, *cancelled);
        QMetaObject::invokeMethod(
            this,
            [this, id, key, block = std::move(block), cancelled] {
                retire(id);
                if (block && !cancelled->load())
                    emit frameReady(key, block);
                emit threadFreed();
            },
            Qt::QueuedConnection);
    });
    m_workers.emplace(id, Worker{std::move(thread), std::move(cancelled), key});
    return true;
}

void FrameSearch::clear() {
    for (auto &[id, worker] : m_workers)
        worker.cancelled->store(true);
}

// The worker has posted its last word and is about to end.
void FrameSearch::retire(std::uint64_t id) {
    const auto worker = m_workers.find(id);
    if (worker == m_workers.end())
        return;
    worker->second.thread.join();
    m_workers.erase(worker);
}
