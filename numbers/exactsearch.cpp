#include "numbers/exactsearch.h"

#include "numbers/modular.h"
#include "numbers/quadraticsieve.h"

#include <algorithm>
#include <bit>
#include <deque>
#include <numeric>
#include <unordered_map>
#include <utility>
#include <vector>

using Modular::SignedWide;
using Row = ExactSearch::Row;

namespace {

// Rows handed to the sink at a time: memory stays small however many there are, and they stay
// in the cache between the search and the output.
constexpr std::size_t batch = 1 << 12;
// Up to this many hypotenuses each value is factored by trial division; beyond, by the sieve.
constexpr int fewHypotenuses = 8;

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

// Stein's binary gcd: shifts and subtractions, several times faster than Euclid's divisions, and
// asked once for every row.
std::uint32_t gcd(std::uint32_t a, std::uint32_t b) {
    if (a == 0 || b == 0)
        return a | b;
    const int shift = std::countr_zero(a | b);
    a >>= std::countr_zero(a);
    do {
        b >>= std::countr_zero(b);
        if (a > b)
            std::swap(a, b);
        b -= a;
    } while (b != 0);
    return a << shift;
}

bool isPrimitive(std::uint32_t x, std::uint32_t y, std::uint64_t z) {
    const std::uint32_t legs = gcd(x, y);
    return legs == 1 || gcd(legs, static_cast<std::uint32_t>(z % legs)) == 1;
}

void collect(const QuadraticSieve &sieve, std::uint32_t i, std::vector<PrimePower> &out) {
    out.clear();
    for (const QuadraticSieve::Factor &f : sieve.factors(i))
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
                // Both are at most bound, the square root of a value below 2⁶²: no overflow.
                const std::uint64_t divisor = out[j] * power;
                if (divisor <= bound)
                    out.push_back(divisor);
            }
        }
    }
}

// The rows of one leg x, from the factors of |x² − d|: with a · b = |x² − d| and a ≤ b of equal
// parity, x² − d > 0 gives z − y = a, z + y = b, and x² − d < 0 gives y − z = a, y + z = b.
// When 4 divides the value both are even, and its quarter's divisors give them halved.
void rowsForLeg(std::uint32_t x, std::uint64_t magnitude, bool negative,
                std::vector<PrimePower> &factors, std::uint32_t max,
                std::vector<std::uint64_t> &divisors, std::vector<Row> &rows) {
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
        if (y >= 1 && y <= max) {
            const auto leg = static_cast<std::uint32_t>(y);
            rows.push_back({x, leg, z, nullptr, isPrimitive(x, leg, z)});
        }
    }
}

// Every x, y in 1..max with x² + y² equal to the number made of these prime powers, from its
// factors in the Gaussian integers: a prime p ≡ 1 (mod 4) is (u + vi)(u − vi), 2 is −i(1 + i)²,
// and a prime ≡ 3 (mod 4) stays prime, so it must come squared. Each choice of u + vi or u − vi
// per prime gives one representation, once each after turning it into the first quadrant.
template <typename Add>
void sumsOfTwoSquares(
    const std::vector<PrimePower> &factors, std::uint32_t max,
    const std::function<std::pair<std::uint64_t, std::uint64_t>(std::uint64_t)> &split,
    std::vector<Gaussian> &numbers, std::vector<Gaussian> &scratch, const Add &add) {
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

} // namespace

ExactSearch::ExactSearch(mpz_class deviation, std::uint32_t maxLeg)
    : m_d(std::move(deviation)), m_max(maxLeg) {}

void ExactSearch::run(const Sink &sink, const Progress &progress, Order order) const {
    const std::uint64_t square = std::uint64_t{m_max} * m_max;
    if (m_d > mpz_class(2 * square))
        return; // x² + y² − d < 0 for every pair
    // Down to −4·max² the values x² − d stay below 5·max² and their sieve below √5·max.
    if (m_d >= -mpz_class(4 * square))
        byLegs(sink, progress, order);
    else
        byHypotenuse(sink, progress, order);
}

void ExactSearch::byLegs(const Sink &sink, const Progress &progress, Order order) const {
    const std::int64_t d = m_d.get_si();
    const auto n = static_cast<std::int64_t>(m_max);
    const std::uint64_t largest = std::max(std::abs(1 - d), std::abs(n * n - d));
    QuadraticSieve sieve(d, 1, m_max, largest);
    std::vector<Row> rows;
    std::vector<PrimePower> factors;
    std::vector<std::uint64_t> divisors;
    const auto flush = [&] {
        const bool more = sink(rows);
        rows.clear();
        return more;
    };
    while (sieve.next()) {
        for (std::uint32_t i = 0; i < sieve.blockSize(); ++i) {
            const auto x = static_cast<std::uint32_t>(sieve.blockStart() + i);
            if (sieve.magnitude(i) == 0) {
                // x² = d: z = y for every y.
                for (std::uint32_t y = 1; y <= m_max; ++y) {
                    rows.push_back({x, y, y, nullptr, gcd(x, y) == 1});
                    if (rows.size() >= batch && !flush())
                        return;
                }
                continue;
            }
            const std::size_t begin = rows.size();
            collect(sieve, i, factors);
            rowsForLeg(x, sieve.magnitude(i), sieve.negative(i), factors, m_max, divisors, rows);
            if (order == Order::Search)
                std::sort(rows.begin() + static_cast<std::ptrdiff_t>(begin), rows.end(),
                          [](const Row &a, const Row &b) { return a.y < b.y; });
            if (rows.size() >= batch && !flush())
                return;
        }
        if (!flush())
            return;
        progress(static_cast<double>(sieve.blockStart() + sieve.blockSize() - 1) / m_max);
    }
}

void ExactSearch::byHypotenuse(const Sink &sink, const Progress &progress, Order order) const {
    const mpz_class deficit = -m_d; // z² = x² + y² + deficit
    const std::uint64_t span = 2 * std::uint64_t{m_max} * m_max;
    mpz_class low;
    mpz_class high;
    mpz_class bound = deficit + 1;
    mpz_sqrt(low.get_mpz_t(), bound.get_mpz_t());
    low += 1; // the least z with z² − deficit ≥ 2
    bound = deficit + mpz_class(span);
    mpz_sqrt(high.get_mpz_t(), bound.get_mpz_t());
    if (high < low)
        return;

    std::vector<Row> rows;
    std::deque<std::string> bigDigits; // the rows point into it
    std::vector<PrimePower> factors;
    std::vector<Gaussian> numbers;
    std::vector<Gaussian> scratch;
    // The sieve's primes come back again and again; the prime left over rarely does.
    const std::uint64_t sieved = Modular::isqrt(span) + 1;
    std::unordered_map<std::uint64_t, std::pair<std::uint64_t, std::uint64_t>> splits;
    const auto split = [&splits, sieved](std::uint64_t p) {
        if (p > sieved)
            return Modular::twoSquares(p);
        const auto known = splits.find(p);
        if (known != splits.end())
            return known->second;
        return splits[p] = Modular::twoSquares(p);
    };
    const mpz_class count = high - low + 1;
    if (count <= fewHypotenuses) {
        const std::vector<std::uint32_t> primes =
            Modular::primesUpTo(static_cast<std::uint32_t>(sieved));
        for (mpz_class z = low; z <= high; ++z) {
            const mpz_class value = z * z - deficit;
            std::uint64_t rest = value.get_ui();
            factors.clear();
            for (const std::uint64_t p : primes) {
                if (p * p > rest)
                    break;
                if (rest % p != 0)
                    continue;
                std::uint32_t exponent = 0;
                for (; rest % p == 0; rest /= p)
                    ++exponent;
                factors.push_back({p, exponent});
            }
            if (rest > 1)
                factors.push_back({rest, 1});
            const bool small = mpz_sizeinbase(z.get_mpz_t(), 2) <= 64;
            const std::string *digits = nullptr;
            if (!small)
                digits = &bigDigits.emplace_back(z.get_str());
            const std::uint64_t zLow = small ? z.get_ui() : 0;
            sumsOfTwoSquares(
                factors, m_max, split, numbers, scratch, [&](std::uint32_t x, std::uint32_t y) {
                    const std::uint32_t legs = gcd(x, y);
                    const bool primitive =
                        legs == 1 ||
                        std::gcd<std::uint64_t>(legs, mpz_fdiv_ui(z.get_mpz_t(), legs)) == 1;
                    rows.push_back({x, y, zLow, digits, primitive});
                });
        }
    } else {
        // Two hypotenuses in range mean 2z + 1 ≤ 2·max², so z and the deficit fit in 128 bits.
        const std::uint64_t first = low.get_ui();
        const std::uint64_t last = high.get_ui();
        const mpz_class upper = deficit >> 64;
        const mpz_class lower = deficit - (upper << 64);
        const SignedWide c = (static_cast<SignedWide>(upper.get_ui()) << 64) | lower.get_ui();
        QuadraticSieve sieve(c, first, last, span);
        // In the search's order the rows must wait for the last z; they wait small.
        struct Found {
            std::uint32_t x;
            std::uint32_t y;
            std::uint64_t z;
        };
        std::vector<Found> found;
        while (sieve.next()) {
            for (std::uint32_t i = 0; i < sieve.blockSize(); ++i) {
                const std::uint64_t z = sieve.blockStart() + i;
                collect(sieve, i, factors);
                sumsOfTwoSquares(factors, m_max, split, numbers, scratch,
                                 [&](std::uint32_t x, std::uint32_t y) {
                                     if (order == Order::Search)
                                         found.push_back({x, y, z});
                                     else
                                         rows.push_back({x, y, z, nullptr, isPrimitive(x, y, z)});
                                 });
            }
            if (!sink(rows))
                return;
            rows.clear();
            progress(static_cast<double>(sieve.blockStart() + sieve.blockSize() - first) /
                     static_cast<double>(last - first + 1));
        }
        std::sort(found.begin(), found.end(), [](const Found &a, const Found &b) {
            return std::pair(a.x, a.y) < std::pair(b.x, b.y);
        });
        for (const Found &f : found) {
            rows.push_back({f.x, f.y, f.z, nullptr, isPrimitive(f.x, f.y, f.z)});
            if (rows.size() >= batch) {
                if (!sink(rows))
                    return;
                rows.clear();
            }
        }
        sink(rows);
        return;
    }
    std::sort(rows.begin(), rows.end(),
              [](const Row &a, const Row &b) { return std::pair(a.x, a.y) < std::pair(b.x, b.y); });
    sink(rows);
}
