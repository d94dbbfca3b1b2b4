#pragma once

#include "numbers/exactsearch.h"

#include <cstdint>
#include <optional>
#include <stop_token>

// The exact search by legs, for a deviation from −4·max² to 2·max²: the legs x of first..last
// cut into jobs of consecutive x that worker threads sieve at once. For each x the divisors of
// |x² − d| give every y: with a · b = |x² − d| and a ≤ b of equal parity, x² − d > 0 gives
// z − y = a, z + y = b, and x² − d < 0 gives y − z = a, y + z = b.
class LegSearch {
public:
    LegSearch(std::int64_t d, std::uint32_t max, std::uint32_t first, std::uint32_t last,
              unsigned threads);

    bool rows(const ExactSearch::Sink &sink, const ExactSearch::Progress &progress,
              ExactSearch::Order order, const std::stop_token &stop) const;
    std::optional<ExactSearch::Counts> counts(const ExactSearch::Progress &progress,
                                              const std::stop_token &stop) const;

private:
    // The x with x² = d, whose every y is a solution (z = y), when it is among the legs.
    std::optional<std::uint32_t> zeroLeg() const;
    bool zeroLegRows(std::uint32_t x, const ExactSearch::Sink &sink,
                     const std::stop_token &stop) const;
    ExactSearch::Counts zeroLegCounts(std::uint32_t x) const;

    std::int64_t m_d;
    std::uint32_t m_max;
    std::uint32_t m_first;
    std::uint32_t m_last;
    unsigned m_threads;
    std::optional<std::uint64_t> m_root; // s with s² = d
};
