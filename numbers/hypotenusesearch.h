#pragma once

#include "numbers/exactsearch.h"

#include <cstdint>
#include <optional>
#include <stop_token>

// The exact search for a deviation far below −max² (d < −4·max²): z² = x² + y² + |d| leaves
// only the z with z² − |d| in 2..2·max², and each such value is taken apart as a sum of two
// squares x² + y². When there are few z (and z may be beyond 64 bits), each value is factored on
// its own; otherwise the values are sieved, their z shared out among the threads.
//
// In the search's order a row may come from any z, so the rows wait until every z is done. They
// wait in passes over the first leg: when more rows are found than a budget holds, the pass keeps
// only the smaller x and the next pass goes on from there, so memory stays bounded however many
// rows there are.
class HypotenuseSearch {
public:
    HypotenuseSearch(const mpz_class &deficit, std::uint32_t max, std::uint32_t first,
                     std::uint32_t last, unsigned threads);

    bool rows(const ExactSearch::Sink &sink, const ExactSearch::Progress &progress,
              ExactSearch::Order order, const std::stop_token &stop) const;
    std::optional<ExactSearch::Counts> counts(const ExactSearch::Progress &progress,
                                              const std::stop_token &stop) const;

private:
    bool few() const { return m_high - m_low + 1 <= 8; }
    bool fewRows(const ExactSearch::Sink &sink, const ExactSearch::Progress &progress,
                 const std::stop_token &stop, ExactSearch::Counts *counts) const;

    mpz_class m_deficit; // z² = x² + y² + deficit
    std::uint32_t m_max;
    std::uint32_t m_first;
    std::uint32_t m_last;
    unsigned m_threads;
    mpz_class m_low;  // the least z with z² − deficit ≥ 2
    mpz_class m_high; // the greatest z with z² − deficit ≤ 2·max²
};
