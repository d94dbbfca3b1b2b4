#pragma once

#include "numbers/legsieve.h"
#include "numbers/sieveroots.h"

#include <vector>

// The values t² − c, factored by walking the roots of c modulo every prime of a SieveRoots table:
// a prime p divides t² − c exactly when t is a root, so the work per value is a few divisions.
// The table holds every prime up to √(largest |t² − c|), so what is left of a value after them is
// 1 or one prime.
//
// Primes below the block length are carried from block to block. The others hit a block seldom,
// and walking all of them for every block would cost more than the block itself: when a range
// starts, each one's first hit in it goes into the bucket of its block, and each hit puts the
// prime's next one into a later bucket. Starting a range costs one division per root, so a
// range is long beside the number of roots.
class QuadraticSieve : public LegSieve {
public:
    // t runs over ranges whose |t² − c| stays within the square of the table's bound, each at
    // most 2³² − 1 long; blocks of `length` values.
    QuadraticSieve(const SieveRoots &roots, std::uint32_t length);

    void start(std::uint64_t first, std::uint64_t last) override;
    bool next() override;

private:
    struct Root {
        std::uint32_t prime;
        std::uint32_t next; // the next t with this root, from the current block's start
    };
    struct Hit {
        std::uint32_t prime;
        std::uint32_t offset; // from the range's first t
    };

    void divide(std::uint32_t i, std::uint32_t prime);

    const SieveRoots &m_roots;
    std::uint64_t m_first = 0;
    std::uint64_t m_last = 0;
    bool m_started = false;
    std::size_t m_block = 0; // of the range
    std::vector<Root> m_small;
    std::vector<std::vector<Hit>> m_buckets; // by block of the range
};
