#pragma once

#include <cstdint>
#include <functional>
#include <gmpxx.h>
#include <optional>
#include <span>
#include <stop_token>
#include <string>

// The exact solutions of x² + y² − d = z² for a whole deviation d: every pair of legs x, y in
// 1..max with a whole z ≥ 0, in whole-number arithmetic throughout. The first leg may be kept to
// a range first..last (a shard), y always runs over 1..max, so that the counts of disjoint shards
// add up to the whole.
//
// The work grows with the answer, not with max²: for each x, (z − y)(z + y) = x² − d, so the
// divisors of x² − d, factored by a sieve over x, give every y at once. For a square d = s² the
// sieve takes x − s and x + s apart, with primes up to √(max + s) only. For a deviation far below
// −max², x² − d has huge factors while only few z are possible at all (z² + d must lie in
// 2..2·max²), so those z are walked instead, each z² + d taken apart as a sum of two squares.
// For d = 0 the count comes from Euclid's parametrisation of the Pythagorean triples.
//
// The legs are cut into blocks that worker threads search at once; the rows reach the sink on
// the thread that called run(), in order. Memory is bounded by the blocks in flight, never by the
// number of rows: a sink that is slow holds the workers back.
//
// Up to max = 10⁹ every value of the search fits its whole numbers: x ≤ 10⁹ < 2³², the legs'
// values |x² − d| ≤ 5·max² < 2⁶³ for d ≥ −4·max², their primes below √5·max < 2³², and
// max² + |x² − d| < 2⁶⁴; beyond −4·max² each hypotenuse z ≤ max² and z² + d ≤ 2·max². The
// arithmetic would hold to about 1.7·10⁹; 10⁹ keeps the table of roots within a few hundred MB.
class ExactSearch {
public:
    static constexpr std::uint32_t largestMax = 1'000'000'000;
    // The most digits of a negative whole deviation the command line hands over; its square root
    // and every z stay small enough to compute and print.
    static constexpr std::int64_t largestDeviationDigits = 100'000;

    struct Row {
        std::uint32_t x = 0;
        std::uint32_t y = 0;
        std::uint64_t z = 0;
        const std::string *bigZ = nullptr; // z's decimal digits when it is beyond 64 bits
        bool primitive = false;            // gcd(x, y, z) = 1
    };
    // How many solutions, and where: above the diagonal (x < y), below it, on it; all of them
    // and the primitive ones apart.
    struct Counts {
        std::uint64_t above = 0;
        std::uint64_t below = 0;
        std::uint64_t diagonal = 0;
        std::uint64_t primitiveAbove = 0;
        std::uint64_t primitiveBelow = 0;
        std::uint64_t primitiveDiagonal = 0;

        std::uint64_t count() const { return above + below + diagonal; }
        std::uint64_t primitive() const {
            return primitiveAbove + primitiveBelow + primitiveDiagonal;
        }
        void add(std::uint32_t x, std::uint32_t y, bool isPrimitive) {
            std::uint64_t &side = x < y ? above : x > y ? below : diagonal;
            ++side;
            if (isPrimitive)
                ++(x < y ? primitiveAbove : x > y ? primitiveBelow : primitiveDiagonal);
        }
        Counts &operator+=(const Counts &other);
        bool operator==(const Counts &) const = default;
    };
    // Takes the next rows; false ends the search (an output that failed, say).
    using Sink = std::function<bool(std::span<const Row>)>;
    // Told now and then how far the search is, from 0 to 1, on the thread that called run().
    using Progress = std::function<void(double)>;
    // Rows in the order x ascending, then y ascending; or in any order, a little sooner.
    enum class Order { Search, Any };

    // maxLeg in 1..largestMax; the first leg runs over 1..maxLeg, on every core this process
    // may use.
    ExactSearch(mpz_class deviation, std::uint32_t maxLeg);

    // The cores this process may run on (its CPU affinity), at least 1.
    static unsigned availableCores();
    // 1..1024 worker threads.
    void setThreads(unsigned threads);
    // The first leg x in first..last, 1 ≤ first ≤ last ≤ maxLeg.
    void setLegs(std::uint32_t first, std::uint32_t last);

    // Hands every row to the sink. False when it stopped early: the sink said so, or stop was
    // requested (from any thread; the workers notice within a block of legs).
    bool run(const Sink &sink, const Progress &progress, Order order = Order::Search,
             std::stop_token stop = {}) const;
    // The counts alone, without forming the rows where that is quicker; nothing when stopped.
    std::optional<Counts> count(const Progress &progress, std::stop_token stop = {}) const;

private:
    bool byLegs() const;

    mpz_class m_d;
    std::uint32_t m_max;
    std::uint32_t m_first;
    std::uint32_t m_last;
    unsigned m_threads;
};
