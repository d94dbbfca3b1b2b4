#include "numbers/sieveroots.h"

#include "numbers/jobpipeline.h"

#include <cmath>
#include <optional>

using Modular::SignedWide;

namespace {

// Odd numbers per segment of the prime sieve: a segment's flags stay in the cache.
constexpr std::uint64_t segment = 1 << 18;

std::uint32_t residue(SignedWide c, std::uint32_t p) {
    // Most c fit in 64 bits, where the remainder is a single instruction.
    if (c >= INT64_MIN && c <= INT64_MAX) {
        const std::int64_t r = static_cast<std::int64_t>(c) % p;
        return static_cast<std::uint32_t>(r < 0 ? r + p : r);
    }
    const SignedWide r = c % p;
    return static_cast<std::uint32_t>(r < 0 ? r + p : r);
}

void addPrime(SignedWide c, std::uint32_t p, std::vector<SieveRoots::Entry> &out) {
    const std::uint32_t a = residue(c, p);
    if (p == 2 || a == 0) {
        out.push_back({p, a});
        return;
    }
    if (Modular::legendre(a, p) != 1)
        return;
    out.push_back({p, static_cast<std::uint32_t>(*Modular::sqrtMod(a, p))});
}

} // namespace

SieveRoots::SieveRoots(SignedWide c, std::uint32_t bound, unsigned threads,
                       const std::stop_token &stop)
    : m_c(c), m_bound(bound) {
    if (bound < 2)
        return;
    // About half the primes have roots: reserve for a little more than half of π(bound).
    const double logBound = std::log(std::max<double>(bound, 3));
    m_entries.reserve(static_cast<std::size_t>(0.6 * bound / logBound * (1 + 1.3 / logBound)) + 16);
    m_entries.push_back({2, residue(c, 2)});
    const std::vector<std::uint32_t> base =
        Modular::primesUpTo(static_cast<std::uint32_t>(Modular::isqrt(bound)));
    // Segment k covers the odd numbers 2i + 1 with i in [k·segment, (k + 1)·segment), from 3 on.
    const std::uint64_t odds = (std::uint64_t{bound} - 1) / 2 + 1; // 1, 3, …, up to bound
    const std::size_t jobs = static_cast<std::size_t>((odds + segment - 1) / segment);
    const JobPipeline pipeline(threads, 2 * std::size_t{std::max(threads, 1U)});
    std::vector<std::vector<Entry>> slots(pipeline.slots());
    std::vector<std::vector<char>> composite(pipeline.threads(), std::vector<char>(segment));
    pipeline.run(
        jobs, JobPipeline::Order::Jobs,
        [&](unsigned worker, std::size_t job, std::size_t slot, const std::atomic<bool> &) {
            std::vector<char> &flags = composite[worker];
            const std::uint64_t low = job * segment;
            const std::uint64_t high = std::min(low + segment, odds);
            std::fill(flags.begin(), flags.end(), 0);
            for (const std::uint32_t p : base) {
                if (p == 2)
                    continue;
                // The first odd multiple of p from p² on, in [2·low + 1, …).
                const std::uint64_t square = std::uint64_t{p} * p;
                std::uint64_t first = std::max(square, (2 * low + 1 + p - 1) / p * p);
                if (first % 2 == 0)
                    first += p;
                for (std::uint64_t i = (first - 1) / 2; i < high; i += p)
                    flags[i - low] = 1;
            }
            std::vector<Entry> &out = slots[slot];
            out.clear();
            for (std::uint64_t i = std::max<std::uint64_t>(low, 1); i < high; ++i) {
                if (flags[i - low] == 0)
                    addPrime(c, static_cast<std::uint32_t>(2 * i + 1), out);
            }
        },
        [&](std::size_t, std::size_t slot) {
            m_entries.insert(m_entries.end(), slots[slot].begin(), slots[slot].end());
            return true;
        },
        stop);
}
