#pragma once

#include "numbers/modular.h"

#include <cstdint>
#include <span>
#include <stop_token>
#include <vector>

// The primes p up to a bound that divide t² − c for some whole t, each with one root r of
// t² ≡ c (mod p); the other root is p − r. A sieve of the values t² − c walks these roots; the
// table is built once per search and read by every worker. The primes come from a segmented
// sieve of Eratosthenes, so that building it needs no more memory than the table itself, and the
// roots are taken on several threads: up to 2³² there are tens of millions of them.
class SieveRoots {
public:
    struct Entry {
        std::uint32_t prime;
        std::uint32_t root;
    };

    // Stopped when stop is requested, with the table then incomplete.
    SieveRoots(Modular::SignedWide c, std::uint32_t bound, unsigned threads,
               const std::stop_token &stop);

    Modular::SignedWide c() const { return m_c; }
    std::uint32_t bound() const { return m_bound; }
    // In ascending order of the primes.
    std::span<const Entry> entries() const { return m_entries; }

private:
    Modular::SignedWide m_c;
    std::uint32_t m_bound;
    std::vector<Entry> m_entries;
};
