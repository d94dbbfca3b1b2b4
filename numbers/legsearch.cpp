#include "numbers/legsearch.h"

#include "numbers/jobpipeline.h"
#include "numbers/modular.h"
#include "numbers/quadraticsieve.h"
#include "numbers/squaresieve.h"

#include <algorithm>
#include <memory>
#include <vector>

using Counts = ExactSearch::Counts;
using Row = ExactSearch::Row;

namespace {

// Legs per sieve block: the block's values and factors stay in the cache.
constexpr std::uint32_t blockLength = 1 << 13;
// Rows per call of the sink.
constexpr std::size_t handOut = 1 << 14;
// Rows for the x with x² = d are made on the fly, this many at a time.
constexpr std::uint32_t zeroBatch = 1 << 12;

struct PrimePower {
    std::uint64_t prime;
    std::uint32_t exponent;
};

void collect(const LegSieve &sieve, std::uint32_t i, std::vector<PrimePower> &out) {
    out.clear();
    for (const LegSieve::Factor &f : sieve.factors(i))
        out.push_back({f.prime, f.exponent});
    if (sieve.cofactor(i) > 1)
        out.push_back({sieve.cofactor(i), 1});
}

// The divisors up to bound of the number made of these prime powers, in no particular order.
void divisorsUpTo(const std::vector<PrimePower> &factors, std::uint64_t bound,
                  std::vector<std::uint64_t> &out) {
    out.assign(1, 1);
    for (const PrimePower &f : factors) {
        const std::size_t base = out.size();
        std::uint64_t power = 1;
        for (std::uint32_t k = 0; k < f.exponent && f.prime <= bound / power; ++k) {
            power *= f.prime;
            for (std::size_t j = 0; j < base; ++j) {
                // Both are at most bound, the square root of a value below 2⁶⁴: no overflow.
                const std::uint64_t divisor = out[j] * power;
                if (divisor <= bound)
                    out.push_back(divisor);
            }
        }
    }
}

// Every y in 1..max, with its z, for the leg whose |x² − d| is made of these prime powers. When 4
// divides the value, a and b are both even and its quarter's divisors give them halved.
template <typename Found>
void solutionsOfLeg(std::uint64_t magnitude, bool negative, std::vector<PrimePower> &factors,
                    std::uint32_t max, std::vector<std::uint64_t> &divisors, const Found &found) {
    const std::uint64_t rest4 = magnitude % 4;
    if (rest4 == 2)
        return; // no a and b of equal parity
    const bool quarter = rest4 == 0;
    const std::uint64_t m = quarter ? magnitude / 4 : magnitude;
    if (quarter) {
        for (PrimePower &f : factors)
            if (f.prime == 2)
                f.exponent -= 2;
    }
    divisorsUpTo(factors, Modular::isqrt(m), divisors);
    // y ≤ max bounds the smaller divisor from below when x² − d > 0; the smaller ones are skipped
    // before their division.
    std::uint64_t lowest = 0;
    if (!negative) {
        const std::uint64_t n = max;
        lowest = quarter ? (Modular::isqrt(n * n + 4 * m) - n) / 2 : Modular::isqrt(n * n + m) - n;
    }
    for (const std::uint64_t a : divisors) {
        if (a < lowest)
            continue;
        const std::uint64_t b = m / a;
        std::uint64_t y = negative ? a + b : b - a;
        std::uint64_t z = negative ? b - a : a + b;
        if (!quarter) {
            y /= 2;
            z /= 2;
        }
        if (y >= 1 && y <= max)
            found(static_cast<std::uint32_t>(y), z);
    }
}

// Whether x, y, z have no common divisor, from h = gcd(x, d): a common divisor g has g² | d, so
// it divides h, and for most x and d that is 1. For d = 0 a divisor of x and y divides z too.
struct Primitive {
    std::uint64_t h;
    bool pythagorean;
    bool operator()(std::uint32_t y, std::uint64_t z) const {
        if (h == 1)
            return true;
        const std::uint64_t g = Modular::gcd(h, y);
        return g == 1 || (!pythagorean && Modular::gcd(g, z % g) == 1);
    }
};

// The divisors come in no order: the rows of one leg, from begin on, by y.
void sortLeg(std::vector<Row> &rows, std::size_t begin) {
    std::sort(rows.begin() + static_cast<std::ptrdiff_t>(begin), rows.end(),
              [](const Row &a, const Row &b) { return a.y < b.y; });
}

// How the legs are cut into jobs: from the first leg on, each job takes a share of the legs left
// between `shortest` and `longest`. With shortest = longest they are all alike; otherwise they
// shrink as the search goes on, so that few jobs pay for a start and the last ones, short, leave
// no thread idle for long.
class Plan {
public:
    Plan(std::uint32_t from, std::uint32_t to, unsigned threads, std::uint64_t shortest,
         std::uint64_t longest) {
        shortest = std::max<std::uint64_t>(shortest, 1);
        longest = std::max(longest, shortest);
        std::uint64_t start = from;
        for (std::uint64_t left = std::uint64_t{to} - from + 1; left > 0;) {
            const std::uint64_t length =
                std::min(left, std::clamp<std::uint64_t>(left / (2 * threads), shortest, longest));
            m_starts.push_back(static_cast<std::uint32_t>(start));
            start += length;
            left -= length;
        }
        m_end = start;
    }
    std::size_t jobs() const { return m_starts.size(); }
    std::uint32_t low(std::size_t job) const { return m_starts[job]; }
    std::uint32_t high(std::size_t job) const {
        return static_cast<std::uint32_t>((job + 1 < m_starts.size() ? m_starts[job + 1] : m_end) -
                                          1);
    }
    std::uint32_t longestJob() const {
        std::uint32_t longest = 0;
        for (std::size_t job = 0; job < jobs(); ++job)
            longest = std::max(longest, high(job) - low(job) + 1);
        return longest;
    }

private:
    std::vector<std::uint32_t> m_starts;
    std::uint64_t m_end = 0;
};

// The sieves of the workers, and the table of roots they share.
struct Sieves {
    std::unique_ptr<SieveRoots> roots;
    std::vector<std::unique_ptr<LegSieve>> perWorker;

    std::size_t rootCount() const { return roots ? roots->entries().size() : 0; }
};

Sieves makeSieves(std::int64_t d, std::optional<std::uint64_t> s, std::uint32_t first,
                  std::uint32_t last, unsigned threads, const std::stop_token &stop) {
    Sieves sieves;
    if (!s) {
        // |x² − d| is largest at one end of the legs.
        const auto value = [d](std::uint32_t x) {
            const Modular::SignedWide v = static_cast<Modular::SignedWide>(x) * x - d;
            return static_cast<std::uint64_t>(v < 0 ? -v : v);
        };
        const std::uint64_t largest = std::max(value(first), value(last));
        sieves.roots = std::make_unique<SieveRoots>(
            d, static_cast<std::uint32_t>(Modular::isqrt(largest) + 1), threads, stop);
    }
    return sieves;
}

void addWorkers(Sieves &sieves, std::optional<std::uint64_t> s, std::uint32_t last,
                unsigned threads, std::uint32_t length) {
    for (unsigned i = 0; i < threads; ++i) {
        if (s)
            sieves.perWorker.push_back(std::make_unique<SquareSieve>(*s, last, length));
        else
            sieves.perWorker.push_back(std::make_unique<QuadraticSieve>(*sieves.roots, length));
    }
}

// Starting a job costs a division per root, a few nanoseconds, where a leg costs a hundred or
// more: a job of a quarter of the roots' number in legs keeps that within a few per cent.
std::uint64_t worthAStart(const Sieves &sieves) { return sieves.rootCount() / 4; }

// Every leg of a job, through the sieve, each one's solutions handed to found(x, primitive, y, z).
template <typename Found>
void searchJob(LegSieve &sieve, std::uint32_t low, std::uint32_t high, std::uint64_t absD,
               std::uint32_t max, const std::atomic<bool> &stop, const Found &found) {
    std::vector<PrimePower> factors;
    std::vector<std::uint64_t> divisors;
    sieve.start(low, high);
    while (sieve.next()) {
        if (stop.load(std::memory_order_relaxed))
            return;
        for (std::uint32_t i = 0; i < sieve.blockSize(); ++i) {
            const std::uint64_t magnitude = sieve.magnitude(i);
            if (magnitude == 0)
                continue; // x² = d: its rows are made when they are handed out
            const auto x = static_cast<std::uint32_t>(sieve.blockStart() + i);
            collect(sieve, i, factors);
            const Primitive primitive{Modular::gcd(x, absD % x), absD == 0};
            solutionsOfLeg(
                magnitude, sieve.negative(i), factors, max, divisors,
                [&](std::uint32_t y, std::uint64_t z) { found(x, primitive(y, z), y, z); });
        }
    }
}

} // namespace

LegSearch::LegSearch(std::int64_t d, std::uint32_t max, std::uint32_t first, std::uint32_t last,
                     unsigned threads)
    : m_d(d), m_max(max), m_first(first), m_last(last),
      // Starting a thread costs about as much as searching a hundred legs.
      m_threads(static_cast<unsigned>(
          std::clamp<std::uint64_t>((std::uint64_t{last} - first + 1) >> 6, 1, threads))) {
    if (d >= 0) {
        const std::uint64_t s = Modular::isqrt(static_cast<std::uint64_t>(d));
        if (s * s == static_cast<std::uint64_t>(d))
            m_root = s;
    }
}

std::optional<std::uint32_t> LegSearch::zeroLeg() const {
    if (m_root && *m_root >= m_first && *m_root <= m_last)
        return static_cast<std::uint32_t>(*m_root);
    return std::nullopt;
}

bool LegSearch::zeroLegRows(std::uint32_t x, const ExactSearch::Sink &sink,
                            const std::stop_token &stop) const {
    std::vector<Row> rows;
    rows.reserve(zeroBatch);
    for (std::uint64_t y = 1; y <= m_max;) {
        if (stop.stop_requested())
            return false;
        rows.clear();
        for (; y <= m_max && rows.size() < zeroBatch; ++y) {
            const auto leg = static_cast<std::uint32_t>(y);
            rows.push_back({x, leg, y, nullptr, Modular::gcd(x, leg) == 1});
        }
        if (!sink(rows))
            return false;
    }
    return true;
}

Counts LegSearch::zeroLegCounts(std::uint32_t x) const {
    // How many y in 1..n are coprime to x, by inclusion and exclusion over x's primes.
    std::vector<std::uint64_t> primes = Modular::primeFactors(x);
    primes.erase(std::unique(primes.begin(), primes.end()), primes.end());
    const auto coprime = [&primes](std::uint64_t n) {
        std::int64_t total = 0;
        for (std::uint32_t subset = 0; subset < (1U << primes.size()); ++subset) {
            std::uint64_t product = 1;
            for (std::size_t k = 0; k < primes.size(); ++k)
                if (subset & (1U << k))
                    product *= primes[k];
            const auto term = static_cast<std::int64_t>(n / product);
            total += std::popcount(subset) % 2 == 0 ? term : -term;
        }
        return static_cast<std::uint64_t>(total);
    };
    Counts counts;
    counts.below = x - 1;
    counts.diagonal = 1;
    counts.above = m_max - x;
    counts.primitiveBelow = coprime(x - 1);
    counts.primitiveDiagonal = x == 1 ? 1 : 0;
    counts.primitiveAbove = coprime(m_max) - coprime(x);
    return counts;
}

bool LegSearch::rows(const ExactSearch::Sink &sink, const ExactSearch::Progress &progress,
                     ExactSearch::Order order, const std::stop_token &stop) const {
    Sieves sieves = makeSieves(m_d, m_root, m_first, m_last, m_threads, stop);
    if (stop.stop_requested())
        return false;
    // A job's rows wait for the jobs before it, so all are short and alike: some for every
    // thread, and no more rows waiting than some MB.
    const std::uint64_t legs = std::uint64_t{m_last} - m_first + 1;
    const std::uint64_t length = std::clamp<std::uint64_t>(
        legs / (16 * m_threads), 1,
        std::clamp<std::uint64_t>(worthAStart(sieves), blockLength, 1 << 18));
    const Plan plan(m_first, m_last, m_threads, length, length);
    addWorkers(sieves, m_root, m_last, m_threads, std::min(blockLength, plan.longestJob()));
    const std::uint64_t absD =
        m_d < 0 ? 0 - static_cast<std::uint64_t>(m_d) : static_cast<std::uint64_t>(m_d);
    const bool sorted = order == ExactSearch::Order::Search;
    const std::optional<std::uint32_t> zero = zeroLeg();

    const JobPipeline pipeline(m_threads, 2 * std::size_t{m_threads});
    std::vector<std::vector<Row>> chunks(pipeline.slots());
    // Each worker fills a vector of its own and swaps it into the slot when done: the slots'
    // vectors lie side by side, and filling them in place would share their cache lines.
    std::vector<std::vector<Row>> filling(pipeline.threads());
    const auto work = [&](unsigned worker, std::size_t job, std::size_t slot,
                          const std::atomic<bool> &stopNow) {
        std::vector<Row> &rows = filling[worker];
        rows.clear();
        std::size_t begin = 0;
        std::uint32_t current = 0;
        searchJob(*sieves.perWorker[worker], plan.low(job), plan.high(job), absD, m_max, stopNow,
                  [&](std::uint32_t x, bool primitive, std::uint32_t y, std::uint64_t z) {
                      if (sorted && x != current) {
                          sortLeg(rows, begin);
                          begin = rows.size();
                          current = x;
                      }
                      rows.push_back({x, y, z, nullptr, primitive});
                  });
        if (sorted)
            sortLeg(rows, begin);
        rows.swap(chunks[slot]);
    };
    const auto handOutRows = [&](std::span<const Row> rows) {
        for (std::size_t at = 0; at < rows.size(); at += handOut) {
            if (stop.stop_requested() ||
                !sink(rows.subspan(at, std::min(handOut, rows.size() - at))))
                return false;
        }
        return true;
    };
    std::uint64_t done = 0;
    const auto take = [&](std::size_t job, std::size_t slot) {
        const std::span<const Row> rows = chunks[slot];
        const std::uint32_t low = plan.low(job);
        const std::uint32_t high = plan.high(job);
        if (zero && *zero >= low && *zero <= high) {
            const auto split = std::partition_point(rows.begin(), rows.end(),
                                                    [&](const Row &r) { return r.x < *zero; });
            const auto before = static_cast<std::size_t>(split - rows.begin());
            if (!handOutRows(rows.first(before)) || !zeroLegRows(*zero, sink, stop) ||
                !handOutRows(rows.subspan(before)))
                return false;
        } else if (!handOutRows(rows)) {
            return false;
        }
        done += high - low + 1;
        progress(static_cast<double>(done) / static_cast<double>(legs));
        return true;
    };
    return pipeline.run(plan.jobs(),
                        sorted ? JobPipeline::Order::Jobs : JobPipeline::Order::Finished, work,
                        take, stop);
}

std::optional<Counts> LegSearch::counts(const ExactSearch::Progress &progress,
                                        const std::stop_token &stop) const {
    Sieves sieves = makeSieves(m_d, m_root, m_first, m_last, m_threads, stop);
    if (stop.stop_requested())
        return std::nullopt;
    // No rows wait here: long jobs first, shorter ones towards the end; the longest hold some MB
    // of bucketed primes (about 6 bytes a leg).
    const std::uint64_t legs = std::uint64_t{m_last} - m_first + 1;
    constexpr std::uint64_t longest = 1 << 20;
    const Plan plan(m_first, m_last, m_threads,
                    std::max(legs / (64 * m_threads), std::min(worthAStart(sieves), longest)),
                    longest);
    addWorkers(sieves, m_root, m_last, m_threads, std::min(blockLength, plan.longestJob()));
    const std::uint64_t absD =
        m_d < 0 ? 0 - static_cast<std::uint64_t>(m_d) : static_cast<std::uint64_t>(m_d);
    const JobPipeline pipeline(m_threads, 2 * std::size_t{m_threads});
    std::vector<Counts> chunks(pipeline.slots());
    const auto work = [&](unsigned worker, std::size_t job, std::size_t slot,
                          const std::atomic<bool> &stopNow) {
        Counts counts; // apart from the slots, whose neighbours other workers write
        searchJob(*sieves.perWorker[worker], plan.low(job), plan.high(job), absD, m_max, stopNow,
                  [&](std::uint32_t x, bool primitive, std::uint32_t y, std::uint64_t) {
                      counts.add(x, y, primitive);
                  });
        chunks[slot] = counts;
    };
    Counts total;
    std::uint64_t done = 0;
    const auto take = [&](std::size_t job, std::size_t slot) {
        total += chunks[slot];
        done += plan.high(job) - plan.low(job) + 1;
        progress(static_cast<double>(done) / static_cast<double>(legs));
        return true;
    };
    if (!pipeline.run(plan.jobs(), JobPipeline::Order::Finished, work, take, stop))
        return std::nullopt;
    if (const std::optional<std::uint32_t> zero = zeroLeg())
        total += zeroLegCounts(*zero);
    return total;
}
