#include "numbers/euclidcount.h"

#include "numbers/jobpipeline.h"
#include "numbers/modular.h"

#include <algorithm>
#include <vector>

using Counts = ExactSearch::Counts;

EuclidCount::EuclidCount(std::uint32_t max, std::uint32_t first, std::uint32_t last,
                         unsigned threads)
    : m_max(max), m_first(first), m_last(last), m_threads(threads) {}

void EuclidCount::addTriple(std::uint64_t a, std::uint64_t b, Counts &counts) const {
    if (m_first == 1 && m_last == m_max) {
        // Every leg: the multiples up to max of the longer leg, either way round.
        const std::uint64_t multiples = m_max / std::max(a, b);
        counts.above += multiples;
        counts.below += multiples;
        ++counts.primitiveAbove;
        ++counts.primitiveBelow;
        return;
    }
    // (ka, kb) and (kb, ka): the first leg in first..last, the second at most max.
    for (const auto &[u, v] : {std::pair(a, b), std::pair(b, a)}) {
        const std::uint64_t lowest = (m_first + u - 1) / u;
        const std::uint64_t highest = std::min(m_last / u, m_max / v);
        if (highest < lowest)
            continue;
        const std::uint64_t multiples = highest - lowest + 1;
        // a is odd and b even: never on the diagonal.
        if (u < v) {
            counts.above += multiples;
            counts.primitiveAbove += lowest == 1;
        } else {
            counts.below += multiples;
            counts.primitiveBelow += lowest == 1;
        }
    }
}

void EuclidCount::addPairsOf(std::uint32_t m, std::vector<char> &shared, Counts &counts) const {
    const std::uint64_t mm = std::uint64_t{m} * m;
    // m² − n² ≤ max and 2mn ≤ max.
    std::uint64_t low = 1;
    if (mm > m_max) {
        low = Modular::isqrt(mm - m_max);
        if (low * low < mm - m_max)
            ++low;
    }
    const std::uint64_t high = std::min<std::uint64_t>(m - 1, m_max / (2 * std::uint64_t{m}));
    if (low > high)
        return;
    // The n that share a prime with m, marked from m's primes.
    const std::uint64_t base = low;
    shared.assign(high - low + 1, 0);
    std::uint32_t rest = m;
    for (std::uint32_t p = 2; rest > 1; ++p) {
        if (p * p > rest)
            p = rest;
        if (rest % p != 0)
            continue;
        while (rest % p == 0)
            rest /= p;
        for (std::uint64_t n = (low + p - 1) / p * p; n <= high; n += p)
            shared[n - base] = 1;
    }
    if ((m + low) % 2 == 0)
        ++low; // n of the other parity than m
    for (std::uint64_t n = low; n <= high; n += 2) {
        if (shared[n - base] == 0)
            addTriple(mm - n * n, 2 * m * n, counts);
    }
}

std::optional<Counts> EuclidCount::run(const ExactSearch::Progress &progress,
                                       const std::stop_token &stop) const {
    // No n is left once m² > 2·max: m² − n² ≤ max and 2mn ≤ max then exclude each other.
    const auto mHigh = static_cast<std::uint32_t>(Modular::isqrt(2 * std::uint64_t{m_max}));
    // Sixteen jobs per thread even out the work, which is largest for m about sqrt(max / 2); each
    // job wakes the taker, so not many more.
    const std::uint32_t values = mHigh < 2 ? 0 : mHigh - 1;
    const std::uint32_t mPerJob = std::max(16U, (values + 16 * m_threads - 1) / (16 * m_threads));
    const std::size_t jobs = (values + mPerJob - 1) / mPerJob;
    const JobPipeline pipeline(m_threads, 2 * std::size_t{m_threads});
    std::vector<Counts> chunks(pipeline.slots());
    std::vector<std::vector<char>> marks(pipeline.threads());
    const auto work = [&](unsigned worker, std::size_t job, std::size_t slot,
                          const std::atomic<bool> &) {
        Counts counts; // apart from the slots, whose neighbours other workers write
        const auto low = static_cast<std::uint32_t>(2 + job * mPerJob);
        const std::uint32_t high = std::min(mHigh, low + mPerJob - 1);
        for (std::uint32_t m = low; m <= high; ++m)
            addPairsOf(m, marks[worker], counts);
        chunks[slot] = counts;
    };
    Counts total;
    std::size_t done = 0;
    const auto take = [&](std::size_t, std::size_t slot) {
        total += chunks[slot];
        progress(static_cast<double>(++done) / static_cast<double>(jobs));
        return true;
    };
    if (!pipeline.run(jobs, JobPipeline::Order::Finished, work, take, stop))
        return std::nullopt;
    return total;
}
