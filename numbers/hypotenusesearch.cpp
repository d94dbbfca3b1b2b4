#include "numbers/hypotenusesearch.h"

#include "numbers/jobpipeline.h"
#include "numbers/modular.h"
#include "numbers/quadraticsieve.h"

#include <algorithm>
#include <atomic>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

using Counts = ExactSearch::Counts;
using Modular::SignedWide;
using Row = ExactSearch::Row;

namespace {

constexpr std::uint32_t blockLength = 1 << 15;
constexpr std::size_t handOut = 1 << 14;
// Rows held by one pass in the search's order: 128 MB.
constexpr std::size_t rowBudget = std::size_t{1} << 23;
// Primes below this have their two squares kept once found.
constexpr std::uint32_t keptSplits = 1 << 20;

struct PrimePower {
    std::uint64_t prime;
    std::uint32_t exponent;
};

struct Gaussian {
    std::int64_t re;
    std::int64_t im;
};

Gaussian times(Gaussian a, Gaussian b) {
    return {a.re * b.re - a.im * b.im, a.re * b.im + a.im * b.re};
}

bool isPrimitive(std::uint32_t x, std::uint32_t y, std::uint64_t z) {
    const std::uint64_t legs = Modular::gcd(x, y);
    return legs == 1 || Modular::gcd(legs, z % legs) == 1;
}

// u, v with u² + v² = p for the primes ≡ 1 (mod 4); the small ones, which come back again and
// again, are kept.
class Splits {
public:
    std::pair<std::uint64_t, std::uint64_t> operator()(std::uint64_t p) {
        if (p >= keptSplits)
            return Modular::twoSquares(p);
        if (m_kept.empty())
            m_kept.assign(keptSplits / 2, {0, 0});
        auto &kept = m_kept[p / 2];
        if (kept.first == 0) {
            const auto [u, v] = Modular::twoSquares(p);
            kept = {static_cast<std::uint16_t>(u), static_cast<std::uint16_t>(v)};
        }
        return {kept.first, kept.second};
    }

private:
    std::vector<std::pair<std::uint16_t, std::uint16_t>> m_kept; // by p / 2
};

// Every x, y in 1..max with x² + y² equal to the number made of these prime powers, from its
// factors in the Gaussian integers: a prime p ≡ 1 (mod 4) is (u + vi)(u − vi), 2 is −i(1 + i)²,
// and a prime ≡ 3 (mod 4) stays prime, so it must come squared. Each choice of u + vi or u − vi
// per prime gives one representation, once each after turning it into the first quadrant.
template <typename Add>
void sumsOfTwoSquares(const std::vector<PrimePower> &factors, std::uint32_t max, Splits &split,
                      std::vector<Gaussian> &numbers, std::vector<Gaussian> &scratch,
                      const Add &add) {
    for (const PrimePower &f : factors)
        if (f.prime % 4 == 3 && f.exponent % 2 == 1)
            return;
    numbers.assign(1, {1, 0});
    for (const PrimePower &f : factors) {
        const auto p = static_cast<std::int64_t>(f.prime);
        if (p == 2) {
            for (Gaussian &g : numbers)
                for (std::uint32_t k = 0; k < f.exponent; ++k)
                    g = {g.re - g.im, g.re + g.im};
        } else if (p % 4 == 3) {
            std::int64_t scale = 1;
            for (std::uint32_t k = 0; k < f.exponent / 2; ++k)
                scale *= p;
            for (Gaussian &g : numbers)
                g = {g.re * scale, g.im * scale};
        } else {
            const auto [u, v] = split(f.prime);
            const Gaussian pi{static_cast<std::int64_t>(u), static_cast<std::int64_t>(v)};
            // pi^k · conj(pi)^(e − k) for k = 0..e
            std::vector<Gaussian> powers(f.exponent + 1, Gaussian{1, 0});
            for (std::uint32_t k = 1; k <= f.exponent; ++k)
                powers[k] = times(powers[k - 1], pi);
            scratch.clear();
            for (const Gaussian &g : numbers) {
                for (std::uint32_t k = 0; k <= f.exponent; ++k) {
                    const Gaussian other = powers[f.exponent - k];
                    scratch.push_back(times(g, times(powers[k], {other.re, -other.im})));
                }
            }
            numbers.swap(scratch);
        }
    }
    for (Gaussian g : numbers) {
        while (g.re <= 0 || g.im < 0)
            g = {-g.im, g.re};
        if (g.re <= max && g.im >= 1 && g.im <= max)
            add(static_cast<std::uint32_t>(g.re), static_cast<std::uint32_t>(g.im));
    }
}

std::vector<PrimePower> grouped(const std::vector<std::uint64_t> &primes) {
    std::vector<PrimePower> out;
    for (const std::uint64_t p : primes) {
        if (!out.empty() && out.back().prime == p)
            ++out.back().exponent;
        else
            out.push_back({p, 1});
    }
    return out;
}

struct Found {
    std::uint32_t x;
    std::uint32_t y;
    std::uint64_t z;
};

// A job's result: its rows, or only their counts.
struct Chunk {
    std::vector<Found> rows;
    Counts counts;
    std::uint64_t hypotenuses = 0;
};

// What a worker keeps from job to job.
struct Worker {
    std::unique_ptr<QuadraticSieve> sieve;
    Splits split;
    std::vector<PrimePower> factors;
    std::vector<Gaussian> numbers;
    std::vector<Gaussian> scratch;
    Chunk chunk;
};

// The many hypotenuses from low to high, in jobs over z; each job keeps the rows whose first leg
// lies in from..end − 1 (end may shrink while the jobs run) and hands them to take.
class ManyHypotenuses {
public:
    ManyHypotenuses(const mpz_class &deficit, std::uint64_t low, std::uint64_t high,
                    std::uint32_t max, unsigned threads, const std::stop_token &stop)
        : m_low(low), m_high(high), m_max(max),
          m_roots(wide(deficit),
                  static_cast<std::uint32_t>(Modular::isqrt(2 * std::uint64_t{max} * max) + 1),
                  threads, stop),
          m_pipeline(threads, 2 * std::size_t{threads}), m_chunks(m_pipeline.slots()),
          m_workers(m_pipeline.threads()) {
        const std::uint64_t count = high - low + 1;
        // As for the legs: long beside the roots, but the buckets of a job stay within some MB.
        const std::uint64_t longest =
            std::clamp<std::uint64_t>(m_roots.entries().size() / 4, 1 << 20, 1 << 22);
        const std::uint64_t share = (count + 8 * std::uint64_t{threads} - 1) / (8 * threads);
        m_length = std::clamp<std::uint64_t>(share, 1, longest);
        m_jobs = static_cast<std::size_t>((count + m_length - 1) / m_length);
        for (Worker &worker : m_workers)
            worker.sieve = std::make_unique<QuadraticSieve>(
                m_roots,
                static_cast<std::uint32_t>(std::min<std::uint64_t>(blockLength, m_length)));
    }

    bool run(bool countOnly, std::uint32_t from, const std::atomic<std::uint32_t> &end,
             const std::function<bool(Chunk &)> &take, const std::stop_token &stop) {
        const auto work = [&](unsigned index, std::size_t job, std::size_t slot,
                              const std::atomic<bool> &stopNow) {
            // Filled apart from the slots, whose neighbours other workers write, then swapped in.
            Worker &worker = m_workers[index];
            Chunk &chunk = worker.chunk;
            chunk.rows.clear();
            chunk.counts = {};
            const std::uint64_t low = m_low + job * m_length;
            const std::uint64_t high = std::min(m_high, low + m_length - 1);
            chunk.hypotenuses = high - low + 1;
            QuadraticSieve &sieve = *worker.sieve;
            sieve.start(low, high);
            while (sieve.next()) {
                if (stopNow.load(std::memory_order_relaxed))
                    return;
                const std::uint32_t before = end.load(std::memory_order_relaxed);
                for (std::uint32_t i = 0; i < sieve.blockSize(); ++i) {
                    const std::uint64_t z = sieve.blockStart() + i;
                    worker.factors.clear();
                    for (const LegSieve::Factor &f : sieve.factors(i))
                        worker.factors.push_back({f.prime, f.exponent});
                    if (sieve.cofactor(i) > 1)
                        worker.factors.push_back({sieve.cofactor(i), 1});
                    sumsOfTwoSquares(worker.factors, m_max, worker.split, worker.numbers,
                                     worker.scratch, [&](std::uint32_t x, std::uint32_t y) {
                                         if (x < from || x >= before)
                                             return;
                                         if (countOnly)
                                             chunk.counts.add(x, y, isPrimitive(x, y, z));
                                         else
                                             chunk.rows.push_back({x, y, z});
                                     });
                }
            }
            std::swap(chunk, m_chunks[slot]);
        };
        return m_pipeline.run(
            m_jobs, JobPipeline::Order::Finished, work,
            [&](std::size_t, std::size_t slot) { return take(m_chunks[slot]); }, stop);
    }

    std::uint64_t count() const { return m_high - m_low + 1; }

private:
    // Two hypotenuses in range mean 2z + 1 ≤ 2·max², so z and the deficit fit in 128 bits.
    static SignedWide wide(const mpz_class &deficit) {
        const mpz_class upper = deficit >> 64;
        const mpz_class lower = deficit - (upper << 64);
        return static_cast<SignedWide>((static_cast<Modular::Wide>(upper.get_ui()) << 64) |
                                       lower.get_ui());
    }

    std::uint64_t m_low;
    std::uint64_t m_high;
    std::uint32_t m_max;
    SieveRoots m_roots;
    JobPipeline m_pipeline;
    std::vector<Chunk> m_chunks;
    std::vector<Worker> m_workers;
    std::uint64_t m_length = 1;
    std::size_t m_jobs = 0;
};

} // namespace

HypotenuseSearch::HypotenuseSearch(const mpz_class &deficit, std::uint32_t max, std::uint32_t first,
                                   std::uint32_t last, unsigned threads)
    : m_deficit(deficit), m_max(max), m_first(first), m_last(last), m_threads(threads) {
    mpz_class bound = deficit + 1;
    mpz_sqrt(m_low.get_mpz_t(), bound.get_mpz_t());
    m_low += 1;
    bound = deficit + mpz_class(2 * std::uint64_t{max} * max);
    mpz_sqrt(m_high.get_mpz_t(), bound.get_mpz_t());
}

bool HypotenuseSearch::fewRows(const ExactSearch::Sink &sink, const ExactSearch::Progress &progress,
                               const std::stop_token &stop, Counts *counts) const {
    std::vector<Row> rows;
    std::deque<std::string> bigDigits; // the rows point into it
    Splits split;
    std::vector<Gaussian> numbers;
    std::vector<Gaussian> scratch;
    for (mpz_class z = m_low; z <= m_high; ++z) {
        if (stop.stop_requested())
            return false;
        const mpz_class value = z * z - m_deficit;
        const std::vector<PrimePower> factors = grouped(Modular::primeFactors(value.get_ui()));
        const bool small = mpz_sizeinbase(z.get_mpz_t(), 2) <= 64;
        const std::string *digits = nullptr;
        if (!small && !counts)
            digits = &bigDigits.emplace_back(z.get_str());
        const std::uint64_t zLow = small ? z.get_ui() : 0;
        sumsOfTwoSquares(
            factors, m_max, split, numbers, scratch, [&](std::uint32_t x, std::uint32_t y) {
                if (x < m_first || x > m_last)
                    return;
                const std::uint64_t legs = Modular::gcd(x, y);
                const bool primitive =
                    legs == 1 || Modular::gcd(legs, mpz_fdiv_ui(z.get_mpz_t(), legs)) == 1;
                if (counts)
                    counts->add(x, y, primitive);
                else
                    rows.push_back({x, y, zLow, digits, primitive});
            });
    }
    std::sort(rows.begin(), rows.end(),
              [](const Row &a, const Row &b) { return std::pair(a.x, a.y) < std::pair(b.x, b.y); });
    for (std::size_t at = 0; at < rows.size(); at += handOut) {
        if (!sink(std::span(rows).subspan(at, std::min(handOut, rows.size() - at))))
            return false;
    }
    progress(1);
    return true;
}

bool HypotenuseSearch::rows(const ExactSearch::Sink &sink, const ExactSearch::Progress &progress,
                            ExactSearch::Order order, const std::stop_token &stop) const {
    if (m_high < m_low)
        return true;
    if (few())
        return fewRows(sink, progress, stop, nullptr);
    ManyHypotenuses many(m_deficit, m_low.get_ui(), m_high.get_ui(), m_max, m_threads, stop);
    std::vector<Row> rows;
    const auto handOutRows = [&] {
        for (std::size_t at = 0; at < rows.size(); at += handOut) {
            if (stop.stop_requested() ||
                !sink(std::span(rows).subspan(at, std::min(handOut, rows.size() - at))))
                return false;
        }
        rows.clear();
        return true;
    };
    const double legs = static_cast<double>(m_last - m_first) + 1;
    const auto total = static_cast<double>(many.count());
    double done = 0;
    std::atomic<std::uint32_t> end{m_last + 1};
    if (order == ExactSearch::Order::Any) {
        return many.run(
            false, m_first, end,
            [&](Chunk &chunk) {
                for (const Found &f : chunk.rows)
                    rows.push_back({f.x, f.y, f.z, nullptr, isPrimitive(f.x, f.y, f.z)});
                done += static_cast<double>(chunk.hypotenuses);
                progress(done / total);
                return handOutRows();
            },
            stop);
    }
    std::vector<Found> found;
    for (std::uint32_t from = m_first; from <= m_last;) {
        found.clear();
        end.store(m_last + 1, std::memory_order_relaxed);
        done = 0;
        const bool complete = many.run(
            false, from, end,
            [&](Chunk &chunk) {
                const std::uint32_t bound = end.load(std::memory_order_relaxed);
                for (const Found &f : chunk.rows)
                    if (f.x < bound)
                        found.push_back(f);
                if (found.size() > rowBudget) {
                    // Keep the smaller half of the first legs; the next pass finds the rest.
                    const auto middle = found.begin() + static_cast<std::ptrdiff_t>(rowBudget / 2);
                    std::nth_element(found.begin(), middle, found.end(),
                                     [](const Found &a, const Found &b) { return a.x < b.x; });
                    const std::uint32_t cut = std::max(middle->x, from + 1);
                    std::erase_if(found, [cut](const Found &f) { return f.x >= cut; });
                    end.store(cut, std::memory_order_relaxed);
                }
                done += static_cast<double>(chunk.hypotenuses);
                const double passed = end.load(std::memory_order_relaxed) - from;
                progress((from - m_first + passed * done / total) / legs);
                return true;
            },
            stop);
        if (!complete)
            return false;
        std::sort(found.begin(), found.end(), [](const Found &a, const Found &b) {
            return std::pair(a.x, a.y) < std::pair(b.x, b.y);
        });
        for (const Found &f : found) {
            rows.push_back({f.x, f.y, f.z, nullptr, isPrimitive(f.x, f.y, f.z)});
            if (rows.size() >= handOut && !handOutRows())
                return false;
        }
        if (!handOutRows())
            return false;
        from = end.load(std::memory_order_relaxed);
    }
    return true;
}

std::optional<Counts> HypotenuseSearch::counts(const ExactSearch::Progress &progress,
                                               const std::stop_token &stop) const {
    Counts total;
    if (m_high < m_low)
        return total;
    if (few()) {
        if (!fewRows([](std::span<const Row>) { return true; }, progress, stop, &total))
            return std::nullopt;
        return total;
    }
    ManyHypotenuses many(m_deficit, m_low.get_ui(), m_high.get_ui(), m_max, m_threads, stop);
    const std::atomic<std::uint32_t> end{m_last + 1};
    double done = 0;
    const auto all = static_cast<double>(many.count());
    const bool complete = many.run(
        true, m_first, end,
        [&](Chunk &chunk) {
            total += chunk.counts;
            done += static_cast<double>(chunk.hypotenuses);
            progress(done / all);
            return true;
        },
        stop);
    if (!complete)
        return std::nullopt;
    return total;
}
