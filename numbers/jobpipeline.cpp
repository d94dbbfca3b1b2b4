#include "numbers/jobpipeline.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace {

// What the workers and the taker share; every member but `stop` only under `mutex`.
struct Shared {
    std::mutex mutex;
    std::condition_variable workers;
    std::condition_variable taker;
    std::size_t handedOut = 0;
    std::size_t taken = 0;
    bool stopping = false;
    std::vector<char> ready;                                  // by slot, in job order
    std::vector<std::size_t> freeSlots;                       // in finishing order
    std::deque<std::pair<std::size_t, std::size_t>> finished; // job and slot
    std::atomic<bool> stop{false};

    void halt() {
        stopping = true;
        stop.store(true, std::memory_order_relaxed);
        workers.notify_all();
        taker.notify_all();
    }
};

} // namespace

JobPipeline::JobPipeline(unsigned threads, std::size_t slots)
    : m_threads(std::max(threads, 1U)), m_slots(std::max<std::size_t>(slots, m_threads)) {}

bool JobPipeline::runHere(std::size_t jobs, const Work &work, const Take &take,
                          const std::stop_token &stop) const {
    std::atomic<bool> stopped{false};
    const std::stop_callback onStop(stop,
                                    [&stopped] { stopped.store(true, std::memory_order_relaxed); });
    for (std::size_t job = 0; job < jobs; ++job) {
        if (stopped.load(std::memory_order_relaxed))
            return false;
        work(0, job, 0, stopped);
        if (stopped.load(std::memory_order_relaxed) || !take(job, 0))
            return false;
    }
    return true;
}

bool JobPipeline::run(std::size_t jobs, Order order, const Work &work, const Take &take,
                      std::stop_token stop) const {
    if (m_threads == 1 || jobs <= 1)
        return runHere(jobs, work, take, stop);
    const bool inOrder = order == Order::Jobs;
    Shared shared;
    shared.ready.assign(m_slots, 0);
    for (std::size_t slot = m_slots; slot-- > 0;)
        shared.freeSlots.push_back(slot);
    const std::stop_callback onStop(stop, [&shared] {
        const std::lock_guard lock(shared.mutex);
        shared.halt();
    });

    const auto worker = [&](unsigned index) {
        std::unique_lock lock(shared.mutex);
        for (;;) {
            // In job order, job j has slot j mod slots, free once job j − slots was taken.
            shared.workers.wait(lock, [&] {
                return shared.stopping || shared.handedOut >= jobs ||
                       (inOrder ? shared.handedOut < shared.taken + m_slots
                                : !shared.freeSlots.empty());
            });
            if (shared.stopping || shared.handedOut >= jobs)
                return;
            const std::size_t job = shared.handedOut++;
            std::size_t slot = job % m_slots;
            if (!inOrder) {
                slot = shared.freeSlots.back();
                shared.freeSlots.pop_back();
            }
            lock.unlock();
            work(index, job, slot, shared.stop);
            lock.lock();
            if (inOrder)
                shared.ready[slot] = 1;
            else
                shared.finished.emplace_back(job, slot);
            shared.taker.notify_one();
        }
    };
    std::vector<std::jthread> threads;
    const auto count = static_cast<unsigned>(std::min<std::size_t>(m_threads, jobs));
    threads.reserve(count);
    for (unsigned i = 0; i < count; ++i)
        threads.emplace_back(worker, i);

    bool complete = true;
    for (std::size_t n = 0; n < jobs; ++n) {
        std::unique_lock lock(shared.mutex);
        shared.taker.wait(lock, [&] {
            return shared.stopping ||
                   (inOrder ? shared.ready[n % m_slots] != 0 : !shared.finished.empty());
        });
        if (shared.stopping) {
            complete = false;
            break;
        }
        std::pair<std::size_t, std::size_t> next(n, n % m_slots);
        if (!inOrder) {
            next = shared.finished.front();
            shared.finished.pop_front();
        }
        lock.unlock();
        const bool more = take(next.first, next.second);
        lock.lock();
        if (inOrder)
            shared.ready[next.second] = 0;
        else
            shared.freeSlots.push_back(next.second);
        ++shared.taken;
        if (!more) {
            shared.halt();
            complete = false;
            break;
        }
        shared.workers.notify_one();
    }
    if (complete) {
        const std::lock_guard lock(shared.mutex);
        shared.halt(); // every job is taken; the workers are waiting for more
    }
    threads.clear(); // joins
    return complete;
}
