#include "numbers/deviationsweep.h"

#include "numbers/exactsearch.h"

#include <algorithm>
#include <condition_variable>
#include <malloc.h>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

DeviationSweep::DeviationSweep(DeviationRange range, std::uint32_t maxLeg, bool primitiveOnly,
                               unsigned threads)
    : m_range(std::move(range)), m_maxLeg(maxLeg), m_primitiveOnly(primitiveOnly),
      m_threads(threads == 0 ? ExactSearch::availableCores() : threads) {}

DeviationSweep::Count DeviationSweep::countOf(const mpz_class &d, std::uint32_t maxLeg,
                                              bool primitiveOnly, std::stop_token stop) {
    // One thread a deviation: the sweep runs as many deviations at once as there are cores.
    ExactSearch search(d, maxLeg);
    search.setThreads(1);
    const ExactSearch::Counts found =
        search.count([](double) {}, std::move(stop)).value_or(ExactSearch::Counts{});
    Count c;
    c.d = d;
    c.above = primitiveOnly ? found.primitiveAbove : found.above;
    c.below = primitiveOnly ? found.primitiveBelow : found.below;
    c.diagonal = primitiveOnly ? found.primitiveDiagonal : found.diagonal;
    c.count = c.above + c.below + c.diagonal;
    c.primitive = found.primitive();
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
    std::stop_source stop;
    std::mutex lock;
    std::condition_variable arrived;
    std::map<std::int64_t, Count> done; // under the lock

    const auto work = [&] {
        for (std::int64_t i = next++; i < total && !stop.stop_requested(); i = next++) {
            Count count = countOf(m_range.at(i), m_maxLeg, m_primitiveOnly, stop.get_token());
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
            stop.request_stop();
            complete = false;
            break;
        }
    }
    for (std::thread &worker : workers)
        worker.join();
    return complete;
}
