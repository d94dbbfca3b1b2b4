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

    std::uint64_t blockStart() const { return start_; }
    std::uint32_t blockSize() const { return size_; }
    // For the t at blockStart() + i: |t² − c|, whether t² − c is negative, its sieved prime
    // factors (none for 0, whose value is not factored), and the prime left over or 1.
    std::uint64_t magnitude(std::uint32_t i) const { return magnitude_[i]; }
    bool negative(std::uint32_t i) const { return negative_[i] != 0; }
    std::span<const Factor> factors(std::uint32_t i) const {
        return {factors_.get() + std::size_t{i} * slots, count_[i]};
    }
    std::uint64_t cofactor(std::uint32_t i) const { return rest_[i]; }

private:
    // No value below 2⁶² has more distinct prime factors.
    static constexpr std::size_t slots = 15;

    struct Root {
        std::uint32_t prime;
        std::uint32_t next; // offset of the next t with this root from the current block's start
    };

    Modular::SignedWide c_;
    std::uint64_t last_;
    std::uint32_t length_; // of a block
    std::uint64_t start_ = 0;
    std::uint32_t size_ = 0;
    bool started_ = false;
    std::vector<Root> roots_;
    // Left uninitialised: each block writes what it reads, and untouched pages cost nothing.
    std::unique_ptr<std::uint64_t[]> magnitude_;
    std::unique_ptr<std::uint64_t[]> rest_;
    std::unique_ptr<std::uint8_t[]> negative_;
    std::unique_ptr<std::uint8_t[]> count_;
    std::unique_ptr<Factor[]> factors_;
};
