#include "numbers/deviationsweep.h"

#include "numbers/exactsearch.h"

#include <algorithm>
#include <condition_variable>
#include <malloc.h>
#include <map>
#include <mutex>
#include <sched.h>
#include <thread>
#include <vector>

DeviationSweep::DeviationSweep(DeviationRange range, std::uint32_t maxLeg, bool primitiveOnly,
                               unsigned threads)
    : m_range(std::move(range)), m_maxLeg(maxLeg), m_primitiveOnly(primitiveOnly),
      m_threads(threads == 0 ? availableCores() : threads) {}

unsigned DeviationSweep::availableCores() {
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof(set), &set) != 0)
        return std::max(1u, std::thread::hardware_concurrency());
    return static_cast<unsigned>(std::max(1, CPU_COUNT(&set)));
}

DeviationSweep::Count DeviationSweep::countOf(const mpz_class &d, std::uint32_t maxLeg,
                                              bool primitiveOnly, const std::atomic<bool> *stop) {
    Count c;
    c.d = d;
    const auto rows = [&](std::span<const ExactSearch::Row> found) {
        for (const ExactSearch::Row &row : found) {
            if (primitiveOnly && !row.primitive)
                continue;
            ++c.count;
            c.above += row.x < row.y;
            c.below += row.x > row.y;
            c.primitive += row.primitive;
        }
        return stop == nullptr || !stop->load(std::memory_order_relaxed);
    };
    ExactSearch(d, maxLeg).run(
        rows, [](double) {}, ExactSearch::Order::Any);
    c.diagonal = c.count - c.above - c.below;
    return c;
}

bool DeviationSweep::run(const Sink &sink) const {
    // Thousands of searches in a row each take the same large buffers. glibc would give them back
    // to the system after every search and fault them in afresh for the next, which took a third
    // of a sweep's time; up to these sizes they stay in the process instead.
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
    const std::int64_t total = m_range.count();
    std::atomic<std::int64_t> next{0};
    std::atomic<bool> stop{false};
    std::mutex lock;
    std::condition_variable arrived;
    std::map<std::int64_t, Count> done; // under the lock

    const auto work = [&] {
        for (std::int64_t i = next++; i < total && !stop.load(); i = next++) {
            Count count = countOf(m_range.at(i), m_maxLeg, m_primitiveOnly, &stop);
            const std::lock_guard<std::mutex> guard(lock);
            done.emplace(i, std::move(count));
            arrived.notify_one();
        }
    };
    const unsigned threads = static_cast<unsigned>(std::clamp<std::int64_t>(m_threads, 1, total));
    std::vector<std::thread> workers;
    workers.reserve(threads);
    for (unsigned t = 0; t < threads; ++t)
        workers.emplace_back(work);

    bool complete = true;
    for (std::int64_t i = 0; i < total; ++i) {
        std::unique_lock<std::mutex> guard(lock);
        arrived.wait(guard, [&] { return done.contains(i); });
        const auto found = done.find(i);
        const Count count = std::move(found->second);
        done.erase(found);
        guard.unlock();
        if (!sink(count)) {
            stop = true;
            complete = false;
            break;
        }
    }
    for (std::thread &worker : workers)
        worker.join();
    return complete;
}
