#pragma once

#include "numbers/modular.h"

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

// The values t² − c for the consecutive whole numbers t of a range, each with its prime factors,
// one block of t at a time. A prime p divides t² − c exactly when t is a root of c modulo p, so
// the primes are sieved along the roots instead of trying each value: the work per value is a
// few divisions. Every prime up to √(largest |t² − c|) is sieved, so what is left of a value
// after them is 1 or one prime, the cofactor.
class QuadraticSieve {
public:
    struct Factor {
        std::uint32_t prime = 0;
        std::uint32_t exponent = 0;
    };

    // t runs from first to last (first ≤ last); largest bounds |t² − c| on that range and may be
    // at most 2⁶².
    QuadraticSieve(Modular::SignedWide c, std::uint64_t first, std::uint64_t last,
                   std::uint64_t largest);

    // Factors the next block of t; false once the whole range has been handed out.
    bool next();

    std::uint64_t blockStart() const { return m_start; }
    std::uint32_t blockSize() const { return m_size; }
    // For the t at blockStart() + i: |t² − c|, whether t² − c is negative, its sieved prime
    // factors (none for 0, whose value is not factored), and the prime left over or 1.
    std::uint64_t magnitude(std::uint32_t i) const { return m_magnitude[i]; }
    bool negative(std::uint32_t i) const { return m_negative[i] != 0; }
    std::span<const Factor> factors(std::uint32_t i) const {
        return {m_factors.get() + std::size_t{i} * slots, m_count[i]};
    }
    std::uint64_t cofactor(std::uint32_t i) const { return m_rest[i]; }

private:
    // No value below 2⁶² has more distinct prime factors.
    static constexpr std::size_t slots = 15;

    struct Root {
        std::uint32_t prime;
        std::uint32_t next; // offset of the next t with this root from the current block's start
    };

    Modular::SignedWide m_c;
    std::uint64_t m_last;
    std::uint32_t m_length; // of a block
    std::uint64_t m_start = 0;
    std::uint32_t m_size = 0;
    bool m_started = false;
    std::vector<Root> m_roots;
    // Left uninitialised: each block writes what it reads, and untouched pages cost nothing.
    std::unique_ptr<std::uint64_t[]> m_magnitude;
    std::unique_ptr<std::uint64_t[]> m_rest;
    std::unique_ptr<std::uint8_t[]> m_negative;
    std::unique_ptr<std::uint8_t[]> m_count;
    std::unique_ptr<Factor[]> m_factors;
};
