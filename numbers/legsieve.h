#pragma once

#include <cstdint>
#include <memory>
#include <span>

// The values v(t) of a quadratic in t for the consecutive whole numbers t of a range, each with
// its prime factors, one block of t at a time: what the exact search needs to know of x² − d for
// its legs x, or of z² − |d| for its hypotenuses z. A sieve is made once per worker and then
// started on one range after another, so that a worker's buffers serve every job it does.
//
// Every factorisation is complete: the factors and the cofactor (1 or one prime) multiply to the
// magnitude, except for a value 0, which is not factored.
class LegSieve {
public:
    struct Factor {
        std::uint32_t prime = 0;
        std::uint32_t exponent = 0;
    };

    virtual ~LegSieve() = default;
    LegSieve(const LegSieve &) = delete;
    LegSieve &operator=(const LegSieve &) = delete;

    // The range of t, first ≤ last, whose blocks next() hands out.
    virtual void start(std::uint64_t first, std::uint64_t last) = 0;
    // Factors the next block of t; false once the range has been handed out.
    virtual bool next() = 0;

    std::uint64_t blockStart() const { return m_start; }
    std::uint32_t blockSize() const { return m_size; }
    // For the t at blockStart() + i: |v(t)|, whether v(t) < 0, its prime factors below the
    // cofactor, and the prime left over or 1.
    std::uint64_t magnitude(std::uint32_t i) const { return m_magnitude[i]; }
    bool negative(std::uint32_t i) const { return m_negative[i] != 0; }
    std::span<const Factor> factors(std::uint32_t i) const {
        return {m_factors.get() + std::size_t{i} * slots, m_count[i]};
    }
    std::uint64_t cofactor(std::uint32_t i) const { return m_rest[i]; }

protected:
    // No value below 2⁶⁴ has more distinct prime factors.
    static constexpr std::size_t slots = 15;

    // Blocks of at most `length` values.
    explicit LegSieve(std::uint32_t length);

    void addFactor(std::uint32_t i, std::uint32_t prime, std::uint32_t exponent) {
        m_factors[std::size_t{i} * slots + m_count[i]++] = {prime, exponent};
    }

    std::uint32_t m_length;
    std::uint64_t m_start = 0;
    std::uint32_t m_size = 0;
    // Left uninitialised: each block writes what it reads, and untouched pages cost nothing.
    std::unique_ptr<std::uint64_t[]> m_magnitude;
    std::unique_ptr<std::uint64_t[]> m_rest;
    std::unique_ptr<std::uint8_t[]> m_negative;
    std::unique_ptr<std::uint8_t[]> m_count;
    std::unique_ptr<Factor[]> m_factors;
};
