#pragma once

#include "numbers/legsieve.h"

#include <vector>

// The values t² − s² = (t − s)(t + s), factored through their two linear factors: each is at most
// t + s, so primes up to √(t + s) take both apart, where t² − s² itself would need primes up to
// t. For a square deviation (0 and 1 among them) the search needs only a few thousand primes,
// even for legs up to 10⁹. For s = 0 the value is t², its factors those of t doubled.
class SquareSieve : public LegSieve {
public:
    // t runs over ranges within 1..largest, with largest + s below 2³²; blocks of `length`.
    SquareSieve(std::uint64_t s, std::uint64_t largest, std::uint32_t length);

    void start(std::uint64_t first, std::uint64_t last) override;
    bool next() override;

private:
    enum Side : std::uint8_t { Below = 1, Above = 2, Both = 3 }; // divides t − s, t + s, both
    struct Root {
        std::uint32_t prime;
        std::uint32_t next; // the next t with this root, from the current block's start
        Side side;
    };

    std::uint32_t m_s;
    std::uint64_t m_last = 0;
    bool m_started = false;
    std::vector<std::uint32_t> m_primes;
    std::vector<Root> m_roots;
    // What is left of |t − s| and t + s.
    std::unique_ptr<std::uint32_t[]> m_below;
    std::unique_ptr<std::uint32_t[]> m_above;
};
