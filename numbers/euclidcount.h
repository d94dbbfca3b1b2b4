#pragma once

#include "numbers/exactsearch.h"

#include <cstdint>
#include <optional>
#include <stop_token>

// The counts for d = 0 without a sieve: every solution is k·(a, b) or k·(b, a) for a primitive
// Pythagorean triple, a = m² − n², b = 2mn with m > n ≥ 1 coprime and of opposite parity
// (Euclid). Each primitive pair adds the k that keep the first leg in first..last and the second
// in 1..max, so the work grows with max, and the pairs (m, n) are shared out among the threads.
class EuclidCount {
public:
    EuclidCount(std::uint32_t max, std::uint32_t first, std::uint32_t last, unsigned threads);

    std::optional<ExactSearch::Counts> run(const ExactSearch::Progress &progress,
                                           const std::stop_token &stop) const;

private:
    void addPairsOf(std::uint32_t m, std::vector<char> &shared, ExactSearch::Counts &counts) const;
    void addTriple(std::uint64_t a, std::uint64_t b, ExactSearch::Counts &counts) const;

    std::uint32_t m_max;
    std::uint32_t m_first;
    std::uint32_t m_last;
    unsigned m_threads;
};
