#pragma once

#include <cstdint>
#include <functional>
#include <gmpxx.h>
#include <span>
#include <string>

// The exact solutions of x² + y² − d = z² for a whole deviation d: every pair of legs x, y in
// 1..max with a whole z ≥ 0, in whole-number arithmetic throughout.
//
// The work grows with the answer, not with max²: for each x, (z − y)(z + y) = x² − d, so the
// divisors of x² − d, factored by a sieve over x, give every y at once. For a deviation far below
// −max², x² − d has huge factors while only few z are possible at all (z² + d must lie in
// 2..2·max²), so those z are walked instead, each z² + d taken apart as a sum of two squares.
// Memory grows with max, never with the number of solutions.
class ExactSearch {
public:
    static constexpr std::uint32_t largestMax = 10'000'000;
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
    // Takes the next rows; false ends the search (an output that failed, say).
    using Sink = std::function<bool(std::span<const Row>)>;
    // Told now and then how far the search is, from 0 to 1.
    using Progress = std::function<void(double)>;
    // Rows in the order x ascending, then y ascending; or in any order, a little sooner.
    enum class Order { Search, Any };

    // maxLeg in 1..largestMax.
    ExactSearch(mpz_class deviation, std::uint32_t maxLeg);

    void run(const Sink &sink, const Progress &progress, Order order = Order::Search) const;

private:
    void byLegs(const Sink &sink, const Progress &progress, Order order) const;
    void byHypotenuse(const Sink &sink, const Progress &progress, Order order) const;

    mpz_class m_d;
    std::uint32_t m_max;
};
